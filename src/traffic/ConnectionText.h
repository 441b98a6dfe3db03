#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

// The chosen interface is remembered by its description text, which holds at
// most this many bytes.
inline constexpr std::size_t kMaxConnectionLength = 255;

// `text` cut to at most kMaxConnectionLength bytes, never inside a UTF-8
// sequence.
std::string_view ClipConnectionText(std::string_view text);

}  // namespace vantrel
