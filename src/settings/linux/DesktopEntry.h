#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// The value of an Exec key that starts the program at `path` with no
// arguments, quoted and escaped by the Desktop Entry rules, as it is written
// after "Exec=". Nothing when the path cannot be written safely: it must be
// absolute UTF-8 text without control characters, so that no path can add a
// line, a key or a second command to the entry.
std::optional<std::string> EncodeExecValue(std::string_view path);

// The program named by an Exec value as written in the file, when the value
// names one program and nothing else (no arguments, no field codes) and is
// escaped and quoted correctly. The inverse of EncodeExecValue.
std::optional<std::string> DecodeExecValue(std::string_view value);

// The keys of the "Desktop Entry" group of a desktop entry file with their
// values as written (escapes left in place). Nothing when `text` is not a
// well-formed entry: the group must come first (after comments and blank
// lines), every other line must be a comment, a group header or a key, and
// no group or key may appear twice.
std::optional<std::map<std::string, std::string>> ParseDesktopEntryGroup(std::string_view text);

// The autostart entry that starts the program whose encoded Exec value is
// `execValue`.
std::string MakeAutostartEntry(std::string_view execValue);

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

}  // namespace vantrel
