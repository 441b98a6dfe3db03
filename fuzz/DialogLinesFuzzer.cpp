// libFuzzer target: the lines between the bar and its dialogs helper. Any
// input parses without fault; whatever parses is written back as the same
// line and reads back as the same request or reply.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "bar/DialogRequests.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const vantrel::DialogRequest request = vantrel::ParseRequest(line);
  if (!std::holds_alternative<std::monostate>(request)) {
    const std::string again = vantrel::EncodeRequest(request);
    Check(again.back() == '\n' && again.find('\n') == again.size() - 1);
    Check(vantrel::ParseRequest(std::string_view(again).substr(0, again.size() - 1)) == request);
  }
  const vantrel::DialogReply reply = vantrel::ParseReply(line);
  if (!std::holds_alternative<std::monostate>(reply)) {
    const std::string again = vantrel::EncodeReply(reply);
    Check(again.find('\n') == again.size() - 1);
    Check(vantrel::ParseReply(std::string_view(again).substr(0, again.size() - 1)) == reply);
  }
  return 0;
}
