#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// Replaces `out` with `text` (UTF-16, as Windows gives it) in UTF-8; an
// unpaired surrogate becomes U+FFFD. Reuses the capacity `out` already has.
void AssignUtf8(std::string& out, std::wstring_view text);

// `text` (UTF-8) in UTF-16, as Windows takes it; a byte that starts no valid
// sequence becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);

}  // namespace vantrel
