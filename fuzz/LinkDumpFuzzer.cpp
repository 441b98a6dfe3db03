// libFuzzer target: the reader of the kernel's link dump replies.

#include <linux/netlink.h>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "traffic/InterfaceTable.h"
#include "traffic/linux/LinkDumpParser.h"

namespace {

using vantrel::InterfaceTable;
using vantrel::LinkDumpStatus;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool SameRows(const InterfaceTable& a, const InterfaceTable& b) {
  if (a.Size() != b.Size()) return false;
  for (std::size_t i = 0; i < a.Size(); ++i) {
    const auto& x = a.Rows()[i];
    const auto& y = b.Rows()[i];
    if (x.description != y.description || x.type != y.type || x.identity != y.identity ||
        x.inOctets != y.inOctets || x.outOctets != y.outOctets) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Tables are reused from one input to the next, as the bar reuses its own.
  static InterfaceTable whole;
  static InterfaceTable split;
  const std::span<const std::byte> reply(reinterpret_cast<const std::byte*>(data), size);

  const LinkDumpStatus status = vantrel::ParseLinkDump(reply, whole);
  Check(status != LinkDumpStatus::kMore);
  // A reply that did not read cleanly leaves no rows behind.
  if (status != LinkDumpStatus::kDone) Check(whole.Empty());
  for (const auto& row : whole.Rows()) Check(row.description.find('\0') == std::string::npos);

  // The same reply cut into two datagrams after its first message reads the
  // same as in one piece.
  if (status == LinkDumpStatus::kDone) {
    nlmsghdr first;
    std::memcpy(&first, data, sizeof first);
    const std::size_t cut = NLMSG_ALIGN(first.nlmsg_len);
    if (cut < size) {
      vantrel::LinkDumpParser parser;
      parser.Start(first.nlmsg_seq, first.nlmsg_pid, split);
      LinkDumpStatus partStatus = parser.Feed(reply.first(cut));
      if (partStatus == LinkDumpStatus::kMore) partStatus = parser.Feed(reply.subspan(cut));
      Check(partStatus == LinkDumpStatus::kDone);
      Check(SameRows(whole, split));
    }
  }
  return 0;
}
