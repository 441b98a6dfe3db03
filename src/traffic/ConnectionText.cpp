#include "traffic/ConnectionText.h"

namespace vantrel {

std::string_view ClipConnectionText(std::string_view text) {
  if (text.size() <= kMaxConnectionLength) return text;
  std::size_t end = kMaxConnectionLength;
  // Step back over continuation bytes (10xxxxxx) so that the cut falls
  // before the lead byte of a sequence that would not fit whole.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace vantrel
