#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// The INI dialect that Qt's QSettings (IniFormat) reads and writes on Linux,
// so that settings files move freely between the bar and programs that use
// QSettings. Keys and texts are held as UTF-16, as QSettings holds them, so
// that the same bytes give the same values on both sides.
//
// A key is "name" for the [General] section and "section/name" for the
// others. A value is one item or, when the file held a comma-separated list,
// several. An item is a text, a byte string (@ByteArray(...)), or one of the
// other forms that start with '@' (@Variant(...), @Rect(...), @Invalid() ...),
// which is kept as the text it was read from and written back unchanged.

struct IniItem {
  enum class Kind { Text, Bytes, Other };
  Kind kind = Kind::Text;
  std::u16string text;  // Text and Other
  std::string bytes;    // Bytes
  bool operator==(const IniItem&) const = default;
};

struct IniValue {
  std::vector<IniItem> items;  // exactly one unless isList
  bool isList = false;
  bool operator==(const IniValue&) const = default;
};

using IniValues = std::map<std::u16string, IniValue>;

// The values of an INI file, read as QSettings reads it: a value that comes
// twice counts with its last occurrence, comments and lines without '=' are
// skipped, a quote runs on over line ends. Keys that no value could be
// written under again (empty, or with an empty section or name) are left out.
IniValues ParseIni(std::string_view file);

// True when `file` reads as its writer meant: it is UTF-8 throughout (other
// bytes read as U+FFFD) and no quote is left open (one that is runs over
// every line after it, which then count as part of its value).
bool ReadsAsWritten(std::string_view file);

// `values` as QSettings writes them: [General] first, then the other
// sections, each with its keys, in the order of their UTF-16 code units.
std::string FormatIni(const IniValues& values);

// The key of `name` in `section` (empty: the top level), or nothing when a
// part holds '/', '\\' or NUL, which QSettings would take as a path, or the
// name is empty.
std::optional<std::u16string> IniKey(std::string_view section, std::string_view name);

// A value as the settings store writes it: an integer as its decimal text; a
// text up to its first NUL, as UTF-8 text when it is valid UTF-8 and as a
// byte string otherwise, so that it reads back byte for byte.
IniValue IniIntValue(std::int32_t value);
IniValue IniTextValue(std::string_view text);

// The 32-bit integer a value holds: a decimal text (spaces around it and a
// sign allowed) or a @Variant integer. Any value that fits in 32 bits signed
// or unsigned is taken as its 32-bit pattern. Nothing for anything else.
std::optional<std::int32_t> IniInt(const IniValue& value);

// The UTF-8 text or the bytes a value holds, up to the first NUL; nothing for
// a list or a form that is neither.
std::optional<std::string> IniText(const IniValue& value);

}  // namespace vantrel
