#include "settings/linux/DesktopEntry.h"

#include <cstdint>
#include <set>

namespace vantrel {
namespace {

// Characters that make an Exec argument need quotes.
constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
// Characters that take a backslash inside a quoted Exec argument.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

constexpr std::string_view kEntryGroup = "Desktop Entry";

bool IsControl(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

bool HasControl(std::string_view text) {
  for (const char c : text) {
    if (IsControl(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

// Undoes the escapes of a string value: \s \n \t \r and \\. Any other
// backslash makes the value invalid.
std::optional<std::string> UnescapeString(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\') {
      out += value[i];
      continue;
    }
    if (++i == value.size()) return std::nullopt;
    switch (value[i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

// Takes back the %% of a literal percent sign; any other field code means
// the command has arguments.
std::optional<std::string> UnescapePercent(std::string_view arg) {
  std::string out;
  out.reserve(arg.size());
  for (std::size_t i = 0; i < arg.size(); ++i) {
    if (arg[i] == '%') {
      if (i + 1 == arg.size() || arg[i + 1] != '%') return std::nullopt;
      ++i;
    }
    out += arg[i];
  }
  return out;
}

// The one argument of an unescaped Exec command line.
std::optional<std::string> SingleArgument(std::string_view command) {
  if (command.empty()) return std::nullopt;
  if (command.front() != '"') {
    if (command.find_first_of(kReservedInExec) != std::string_view::npos) return std::nullopt;
    return std::string(command);
  }
  std::string arg;
  for (std::size_t i = 1; i < command.size(); ++i) {
    const char c = command[i];
    if (c == '"') {
      // The closing quote must end the command: anything after it would be
      // more text of this argument or further arguments.
      if (i + 1 != command.size()) return std::nullopt;
      return arg;
    }
    if (c == '\\') {
      if (++i == command.size() || kEscapedInQuotes.find(command[i]) == std::string_view::npos) {
        return std::nullopt;
      }
    }
    arg += command[i];
  }
  return std::nullopt;  // no closing quote
}

bool IsKeyChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

bool IsKeyName(std::string_view key) {
  std::size_t i = 0;
  while (i < key.size() && IsKeyChar(key[i])) ++i;
  if (i == 0) return false;
  if (i == key.size()) return true;
  // A locale suffix: Name[de_DE@euro].
  if (key[i] != '[' || key.back() != ']' || key.size() - i < 3) return false;
  const std::string_view locale = key.substr(i + 1, key.size() - i - 2);
  return locale.find_first_of("[]") == std::string_view::npos && !HasControl(locale);
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string_view TrimLeadingBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    std::uint32_t code;
    if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

std::optional<std::string> EncodeExecValue(std::string_view path) {
  if (path.empty() || path.front() != '/' || HasControl(path) || !IsValidUtf8(path)) return std::nullopt;

  // First the command line: quotes where the path holds a reserved
  // character, a backslash before the characters that need one inside
  // quotes, and %% for a literal percent sign.
  const bool quoted = path.find_first_of(kReservedInExec) != std::string_view::npos;
  std::string command;
  if (quoted) command += '"';
  for (const char c : path) {
    if (quoted && kEscapedInQuotes.find(c) != std::string_view::npos) command += '\\';
    if (c == '%') command += '%';
    command += c;
  }
  if (quoted) command += '"';

  // Then the string value: every backslash is written twice.
  std::string value;
  value.reserve(command.size() + 8);
  for (const char c : command) {
    if (c == '\\') value += '\\';
    value += c;
  }
  return value;
}

std::optional<std::string> DecodeExecValue(std::string_view value) {
  const std::optional<std::string> command = UnescapeString(value);
  if (!command) return std::nullopt;
  const std::optional<std::string> arg = SingleArgument(*command);
  if (!arg) return std::nullopt;
  return UnescapePercent(*arg);
}

std::optional<std::map<std::string, std::string>> ParseDesktopEntryGroup(std::string_view text) {
  std::map<std::string, std::string> entry;
  std::set<std::string, std::less<>> groups;
  std::set<std::string, std::less<>> keysOfGroup;
  std::string_view group;
  bool inEntry = false;

  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

    if (TrimLeadingBlanks(line).empty() || line.front() == '#') continue;

    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 3) return std::nullopt;
      group = line.substr(1, line.size() - 2);
      if (group.find_first_of("[]") != std::string_view::npos || HasControl(group)) return std::nullopt;
      if (groups.empty() && group != kEntryGroup) return std::nullopt;
      if (!groups.emplace(group).second) return std::nullopt;
      keysOfGroup.clear();
      inEntry = group == kEntryGroup;
      continue;
    }

    // A key: nothing but comments may come before the first group.
    if (groups.empty()) return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = TrimTrailingBlanks(line.substr(0, equals));
    if (!IsKeyName(key) || !keysOfGroup.emplace(key).second) return std::nullopt;
    if (inEntry) entry.emplace(key, TrimLeadingBlanks(line.substr(equals + 1)));
  }
  if (groups.empty()) return std::nullopt;
  return entry;
}

std::string MakeAutostartEntry(std::string_view execValue) {
  std::string text;
  text += "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Name=VantRel\n";
  text += "Comment=Network traffic bar for the desktop\n";
  text += "Exec=";
  text += execValue;
  text += "\n";
  text += "Icon=vantrel\n";
  text += "Terminal=false\n";
  return text;
}

}  // namespace vantrel
