#include "settings/IniCodec.h"

#include <algorithm>
#include <limits>

namespace vantrel {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char kHexDigits[] = "0123456789ABCDEF";

// --- UTF-8 and UTF-16, with Qt's handling of broken input

enum class Step { Ok, Error, Incomplete };

// Decodes the sequence that starts with the non-ASCII byte data[i]. On an
// error only the lead byte is used up; Incomplete means a valid start that
// `data` cuts short.
Step DecodeSequence(std::string_view data, std::size_t i, char32_t& codePoint, std::size_t& length) {
  const auto lead = static_cast<unsigned char>(data[i]);
  char32_t least = 0;
  if (lead <= 0xC1 || lead >= 0xF5) return Step::Error;
  if (lead < 0xE0) {
    length = 2, least = 0x80, codePoint = lead & 0x1F;
  } else if (lead < 0xF0) {
    length = 3, least = 0x800, codePoint = lead & 0x0F;
  } else {
    length = 4, least = 0x10000, codePoint = lead & 0x07;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (i + k >= data.size()) return Step::Incomplete;
    const auto next = static_cast<unsigned char>(data[i + k]);
    if ((next & 0xC0) != 0x80) return Step::Error;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  return codePoint < least || surrogate || codePoint > 0x10FFFF ? Step::Error : Step::Ok;
}

void AppendCodePoint(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out += static_cast<char16_t>(codePoint);
    return;
  }
  codePoint -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
  out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
}

// UTF-8 read the way QString::fromUtf8 reads it: every byte that does not
// start a valid sequence gives U+FFFD. `firstNonAscii` gets the first
// code point above ASCII, or 0.
std::u16string FromUtf8(std::string_view data, bool* valid = nullptr, char32_t* firstNonAscii = nullptr) {
  std::u16string out;
  bool ok = true;
  char32_t first = 0;
  for (std::size_t i = 0; i < data.size();) {
    char32_t codePoint = static_cast<unsigned char>(data[i]);
    std::size_t length = 1;
    if (codePoint >= 0x80 && DecodeSequence(data, i, codePoint, length) != Step::Ok) {
      codePoint = kReplacement, length = 1, ok = false;
    }
    if (first == 0 && codePoint >= 0x80) first = codePoint;
    AppendCodePoint(out, codePoint);
    i += length;
  }
  if (valid != nullptr) *valid = ok;
  if (firstNonAscii != nullptr) *firstNonAscii = first;
  return out;
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// Appends the UTF-8 of the code point at text[k], moving k past a surrogate
// pair; a lone surrogate gives '?'.
void AppendUtf8(std::u16string_view text, std::size_t& k, std::string& out) {
  char32_t c = text[k];
  if (IsHighSurrogate(text[k]) && k + 1 < text.size() && IsLowSurrogate(text[k + 1])) {
    c = 0x10000 + ((c - 0xD800) << 10) + (text[++k] - 0xDC00);
  } else if (IsHighSurrogate(text[k]) || IsLowSurrogate(text[k])) {
    out += '?';
    return;
  }
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t k = 0; k < text.size(); ++k) AppendUtf8(text, k, out);
  return out;
}

std::string ToLatin1(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) out += c > 0xFF ? '?' : static_cast<char>(c);
  return out;
}

std::u16string FromLatin1(std::string_view bytes) {
  std::u16string out;
  for (const char c : bytes) out += static_cast<char16_t>(static_cast<unsigned char>(c));
  return out;
}

// The decoder that QSettings runs over the pieces of one value: a sequence
// cut at the end of a piece is completed by the next one (and dropped at the
// end of the value), and a byte order mark that is the value's first
// non-ASCII character and opens a piece is skipped.
class ValueDecoder {
 public:
  void Feed(std::string_view piece, std::u16string& out) {
    const std::string data = pending_ + std::string(piece);
    pending_.clear();
    for (std::size_t i = 0; i < data.size();) {
      char32_t codePoint = static_cast<unsigned char>(data[i]);
      std::size_t length = 1;
      const Step step = codePoint < 0x80 ? Step::Ok : DecodeSequence(data, i, codePoint, length);
      if (step == Step::Incomplete) {
        pending_ = data.substr(i);
        return;
      }
      bool skip = false;
      if (step == Step::Error) {
        codePoint = kReplacement, length = 1;
      } else if (codePoint >= 0x80 && !sawNonAscii_) {
        sawNonAscii_ = true;
        skip = codePoint == 0xFEFF && i == 0;
      }
      if (!skip) AppendCodePoint(out, codePoint);
      i += length;
    }
  }

 private:
  std::string pending_;
  bool sawNonAscii_ = false;
};

// --- Reading

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool IsHexDigit(char16_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned HexValue(char16_t c) {
  return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// Blanks around lines: what QSettings skips before a line and between lines.
bool IsLineBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view TrimAsciiSpace(std::string_view text) {
  constexpr std::string_view kSpace = " \t\n\v\f\r";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

struct Line {
  std::string_view text;
  std::size_t equals = std::string_view::npos;  // within text
  bool openQuote = false;                       // runs to the end inside a quote
};

// The next logical line from `pos` on: a quote runs over line ends and a
// backslash joins the next line, ';' starts a comment outside quotes, and a
// comment line is skipped whole.
bool NextLine(std::string_view data, std::size_t& pos, Line& line) {
  std::size_t start = pos;
  while (start < data.size() && IsLineBlank(data[start])) ++start;
  bool inQuotes = false;
  std::size_t equals = std::string_view::npos;
  std::size_t i = start;
  while (i < data.size()) {
    const char c = data[i++];
    if (c == '=') {
      if (!inQuotes && equals == std::string_view::npos) equals = i - 1;
    } else if (c == '\n' || c == '\r') {
      if (i == start + 1) {
        ++start;
      } else if (!inQuotes) {
        --i;
        break;
      }
    } else if (c == '\\') {
      if (i < data.size()) {
        const char next = data[i++];
        if (i < data.size() && ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n'))) ++i;
      }
    } else if (c == '"') {
      inQuotes = !inQuotes;
    } else if (c == ';') {
      if (i == start + 1) {
        while (i < data.size() && data[i] != '\n' && data[i] != '\r') ++i;
        while (i < data.size() && IsLineBlank(data[i])) ++i;
        start = i;
      } else if (!inQuotes) {
        --i;
        break;
      }
    }
  }
  pos = i;
  line.openQuote = inQuotes;
  line.text = data.substr(start, i - start);
  line.equals = equals == std::string_view::npos ? equals : equals - start;
  return !line.text.empty();
}

// A key or section name: UTF-8 with %XX and %UXXXX escapes, '\' for '/'.
std::u16string UnescapeKey(std::string_view escaped) {
  const std::u16string text = FromUtf8(escaped);
  std::u16string key;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == u'\\') {
      key += u'/', ++i;
      continue;
    }
    if (text[i] != u'%' || i + 1 == text.size()) {
      key += text[i++];
      continue;
    }
    const std::size_t first = text[i + 1] == u'U' ? i + 2 : i + 1;
    const std::size_t digits = text[i + 1] == u'U' ? 4 : 2;
    bool ok = first + digits <= text.size();
    unsigned value = 0;
    for (std::size_t k = first; ok && k < first + digits; ++k) {
      ok = IsHexDigit(text[k]);
      value = value * 16 + HexValue(text[k]);
    }
    if (!ok) {
      key += text[i++];
      continue;
    }
    key += static_cast<char16_t>(value);
    i = first + digits;
  }
  return key;
}

void ChopBlanks(std::u16string& text, std::size_t limit) {
  while (text.size() > limit && (text.back() == u' ' || text.back() == u'\t')) text.pop_back();
}

char SimpleEscape(char c) {
  constexpr std::string_view kFrom = "abfnrtv\"?'\\";
  constexpr std::string_view kTo = "\a\b\f\n\r\t\v\"?'\\";
  const std::size_t at = kFrom.find(c);
  return at == std::string_view::npos ? '\0' : kTo[at];
}

// The texts of a value: C-like escapes, quotes that keep blanks and commas,
// and unquoted commas that split a list.
std::vector<std::u16string> UnescapeValue(std::string_view value, bool& isList) {
  std::vector<std::u16string> texts;
  std::u16string text;
  ValueDecoder decoder;
  bool inQuotes = false;
  bool quoted = false;
  std::size_t i = 0;
  std::size_t chopLimit = 0;
  const auto skipBlanks = [&] {
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    chopLimit = text.size();
  };
  isList = false;
  skipBlanks();
  for (;;) {
    if (i >= value.size()) {
      if (!quoted) ChopBlanks(text, chopLimit);
      break;
    }
    const char c = value[i];
    if (c == '\\') {
      if (++i >= value.size()) break;
      const char escaped = value[i++];
      if (const char simple = SimpleEscape(escaped)) {
        text += static_cast<char16_t>(simple);
      } else if (escaped == 'x' || (escaped >= '0' && escaped <= '7')) {
        const unsigned base = escaped == 'x' ? 16 : 8;
        std::uint32_t code = escaped == 'x' ? 0 : escaped - '0';
        if (escaped == 'x' && i >= value.size()) break;
        if (escaped == 'x' && !IsHexDigit(static_cast<unsigned char>(value[i]))) {
          chopLimit = text.size();
          continue;
        }
        for (; i < value.size(); ++i) {
          const auto digit = static_cast<unsigned char>(value[i]);
          if (base == 16 ? !IsHexDigit(digit) : (digit < '0' || digit > '7')) break;
          code = code * base + HexValue(digit);
        }
        text += static_cast<char16_t>(code & 0xFFFF);
        if (i >= value.size()) break;
      } else if ((escaped == '\n' || escaped == '\r') && i < value.size() &&
                 (value[i] == '\n' || value[i] == '\r') && value[i] != escaped) {
        ++i;
      }
      chopLimit = text.size();
    } else if (c == '"') {
      ++i;
      quoted = true;
      inQuotes = !inQuotes;
      if (!inQuotes) skipBlanks();
    } else if (c == ',' && !inQuotes) {
      if (!quoted) ChopBlanks(text, chopLimit);
      isList = true;
      texts.push_back(std::move(text));
      text.clear();
      quoted = false;
      ++i;
      skipBlanks();
    } else {
      std::size_t end = i + 1;
      while (end < value.size() && value[end] != '\\' && value[end] != '"' && value[end] != ',') ++end;
      decoder.Feed(value.substr(i, end - i), text);
      i = end;
    }
  }
  texts.push_back(std::move(text));
  return texts;
}

// The number of arguments QSettings finds in "@Rect(1 2 3 4)" and the like.
std::size_t ArgumentCount(std::u16string_view text, std::size_t open) {
  const std::u16string_view args = text.substr(open + 1);
  return static_cast<std::size_t>(std::count(args.begin(), args.end(), u' ') +
                                  std::count(args.begin(), args.end(), u')'));
}

// One text of a value, taken the way QSettings turns it into a variant.
IniItem Classify(std::u16string text) {
  const auto other = [&text] { return IniItem{IniItem::Kind::Other, std::move(text), {}}; };
  if (text.size() > 1 && text.front() == u'@' && text.back() == u')') {
    const std::u16string_view view(text);
    if (StartsWith(view, u"@ByteArray(")) {
      return {IniItem::Kind::Bytes, {}, ToLatin1(view.substr(11, view.size() - 12))};
    }
    if (StartsWith(view, u"@String(")) return {IniItem::Kind::Text, text.substr(8, text.size() - 9), {}};
    if (StartsWith(view, u"@Variant(") || StartsWith(view, u"@DateTime(") || view == u"@Invalid()" ||
        (StartsWith(view, u"@Rect(") && ArgumentCount(view, 5) == 4) ||
        (StartsWith(view, u"@Size(") && ArgumentCount(view, 5) == 2) ||
        (StartsWith(view, u"@Point(") && ArgumentCount(view, 6) == 2)) {
      return other();
    }
  }
  if (StartsWith(text, u"@@")) text.erase(0, 1);
  return {IniItem::Kind::Text, std::move(text), {}};
}

// A key that can be read and written again: QSettings reports some keys of
// a damaged file ("/Name" from an empty section name, say) under which no
// value can be addressed.
bool IsUsableKey(std::u16string_view key) {
  return !key.empty() && key.front() != u'/' && key.back() != u'/' &&
         key.find(u"//") == std::u16string_view::npos;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

// The section prefix ("" or "name/") of a "[...]" line.
std::u16string SectionPrefix(std::string_view header) {
  std::string_view name =
      header.substr(1, header.find(']') == std::string_view::npos ? header.npos : header.find(']') - 1);
  name = TrimAsciiSpace(name);
  if (EqualsIgnoringAsciiCase(name, "general")) return {};
  if (EqualsIgnoringAsciiCase(name, "%general")) return FromLatin1(name.substr(1)) + u'/';
  return UnescapeKey(name) + u'/';
}

// --- Writing

void AppendEscapedKey(std::u16string_view key, std::string& out) {
  for (const char16_t c : key) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-' || c == '.';
    if (c == u'/') {
      out += '\\';
    } else if (plain) {
      out += static_cast<char>(c);
    } else if (c <= 0xFF) {
      out += '%', out += kHexDigits[c / 16], out += kHexDigits[c % 16];
    } else {
      out += "%U";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(c >> shift) & 0xF];
    }
  }
}

void AppendHexEscape(char16_t c, std::string& out) {
  constexpr char kLower[] = "0123456789abcdef";
  out += "\\x";
  bool started = false;
  for (int shift = 12; shift >= 0; shift -= 4) {
    const unsigned digit = (c >> shift) & 0xF;
    if (digit != 0 || started || shift == 0) out += kLower[digit], started = true;
  }
}

// A text as a value: C-like escapes, UTF-8 (or \x escapes in the binary
// forms), and quotes when it holds ';', ',' or '=' or starts or ends with a
// blank.
void AppendEscapedText(std::u16string_view text, std::string& out) {
  const bool binary =
      StartsWith(text, u"@ByteArray(") || StartsWith(text, u"@Variant(") || StartsWith(text, u"@DateTime(");
  const std::size_t start = out.size();
  bool needsQuotes = false;
  bool escapeNextIfHex = false;
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char16_t c = text[k];
    if (c == u';' || c == u',' || c == u'=') needsQuotes = true;
    if (escapeNextIfHex && IsHexDigit(c)) {
      AppendHexEscape(c, out);
      continue;
    }
    escapeNextIfHex = false;
    constexpr std::u16string_view kControls = u"\a\b\f\n\r\t\v";
    if (c == 0) {
      out += "\\0";
      escapeNextIfHex = true;
    } else if (const std::size_t at = kControls.find(c); at != std::u16string_view::npos) {
      out += '\\', out += "abfnrtv"[at];
    } else if (c == u'"' || c == u'\\') {
      out += '\\', out += static_cast<char>(c);
    } else if (c <= 0x1F || (c >= 0x7F && binary)) {
      AppendHexEscape(c, out);
      escapeNextIfHex = true;
    } else {
      AppendUtf8(text, k, out);
    }
  }
  if (needsQuotes || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
    out.insert(start, 1, '"');
    out += '"';
  }
}

// An item as the text QSettings makes of its variant.
std::u16string ItemText(const IniItem& item) {
  switch (item.kind) {
    case IniItem::Kind::Bytes:
      return u"@ByteArray(" + FromLatin1(item.bytes) + u")";
    case IniItem::Kind::Other:
      return item.text;
    case IniItem::Kind::Text:
      break;
  }
  if (item.text.find(u'\0') != std::u16string::npos) return u"@String(" + item.text + u")";
  return StartsWith(item.text, u"@") ? u"@" + item.text : item.text;
}

// --- Numbers

bool IsUnicodeSpace(char16_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

std::optional<std::int32_t> FromSigned(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> FromUnsigned(std::uint64_t value) {
  if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Decimal text as QString::toLongLong reads it.
std::optional<std::int32_t> ParseDecimal(std::u16string_view text) {
  while (!text.empty() && IsUnicodeSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsUnicodeSpace(text.back())) text.remove_suffix(1);
  const bool negative = !text.empty() && text.front() == u'-';
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  // Anything past 2^32 is out of range; the rest must still be digits.
  constexpr std::uint64_t kTooLarge = std::uint64_t{1} << 33;
  std::uint64_t magnitude = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    magnitude = std::min(magnitude * 10 + (c - u'0'), kTooLarge);
  }
  if (negative) return FromSigned(-static_cast<std::int64_t>(magnitude));
  return FromUnsigned(magnitude);
}

// What "@Variant(...)" holds: a QDataStream (version 4.0) of a variant. The
// integers give a number, a QString or QByteArray a text or bytes (read as
// an item); bytes that are missing read as zero or as nothing.
struct VariantContent {
  std::optional<std::int32_t> number;
  std::optional<IniItem> item;
};

VariantContent DecodeVariant(std::u16string_view text) {
  const std::string bytes = ToLatin1(text.substr(9));
  const auto read = [&bytes](std::size_t at, std::size_t size) {
    std::uint64_t value = 0;
    if (at + size > bytes.size()) return value;
    for (std::size_t k = 0; k < size; ++k) value = (value << 8) | static_cast<unsigned char>(bytes[at + k]);
    return value;
  };
  const auto asSigned = [](std::uint64_t value, int bits) {
    return FromSigned(static_cast<std::int64_t>(value << (64 - bits)) >> (64 - bits));
  };
  // A string or byte array: its size in bytes, all ones for a null one.
  const std::uint64_t size = read(4, 4);
  const bool whole = size != 0xFFFFFFFF && 8 + size <= bytes.size();
  switch (read(0, 4)) {
    case 2:  // int
      return {asSigned(read(4, 4), 32), {}};
    case 3:  // unsigned int
      return {FromUnsigned(read(4, 4)), {}};
    case 4:  // qlonglong
      return {asSigned(read(4, 8), 64), {}};
    case 5:  // qulonglong
      return {FromUnsigned(read(4, 8)), {}};
    case 130:  // short (a Qt 4 type number)
      return {asSigned(read(4, 2), 16), {}};
    case 133:  // unsigned short
      return {FromUnsigned(read(4, 2)), {}};
    case 10: {  // QString, UTF-16 big-endian
      IniItem item;
      for (std::size_t at = 8; whole && at + 1 < 8 + size; at += 2)
        item.text += static_cast<char16_t>(read(at, 2));
      return {{}, std::move(item)};
    }
    case 12:  // QByteArray
      return {{}, IniItem{IniItem::Kind::Bytes, {}, whole ? bytes.substr(8, size) : std::string()}};
    default:
      return {};
  }
}

const IniItem* SingleItem(const IniValue& value) {
  return value.isList || value.items.size() != 1 ? nullptr : &value.items.front();
}

}  // namespace

IniValues ParseIni(std::string_view file) {
  if (file.substr(0, 3) == "\xEF\xBB\xBF") file.remove_prefix(3);

  // The body of every section, in the order of the section names; a section
  // that comes twice continues where it stopped.
  std::map<std::u16string, std::vector<std::string_view>> sections;
  std::u16string section;
  std::size_t bodyStart = 0;
  std::size_t pos = 0;
  for (Line line; NextLine(file, pos, line);) {
    if (line.text.front() != '[') continue;
    const std::size_t headerStart = static_cast<std::size_t>(line.text.data() - file.data());
    sections[section].push_back(file.substr(bodyStart, headerStart - bodyStart));
    section = SectionPrefix(line.text);
    bodyStart = pos;
  }
  sections[section].push_back(file.substr(bodyStart));

  IniValues values;
  for (const auto& [prefix, bodies] : sections) {
    for (const std::string_view body : bodies) {
      std::size_t at = 0;
      for (Line line; NextLine(body, at, line);) {
        if (line.equals == std::string_view::npos) continue;
        std::u16string key = prefix + UnescapeKey(TrimAsciiSpace(line.text.substr(0, line.equals)));
        if (!IsUsableKey(key)) continue;
        IniValue value;
        for (std::u16string& text : UnescapeValue(line.text.substr(line.equals + 1), value.isList)) {
          value.items.push_back(Classify(std::move(text)));
        }
        values.insert_or_assign(std::move(key), std::move(value));
      }
    }
  }
  return values;
}

bool ReadsAsWritten(std::string_view file) {
  bool valid = true;
  FromUtf8(file, &valid);
  if (!valid) return false;
  std::size_t pos = 0;
  for (Line line; NextLine(file, pos, line);) {
    if (line.openQuote) return false;
  }
  return true;
}

std::string FormatIni(const IniValues& values) {
  std::map<std::u16string_view, std::vector<std::pair<std::u16string_view, const IniValue*>>> sections;
  for (const auto& [key, value] : values) {
    const std::size_t slash = key.find(u'/');
    const std::u16string_view full(key);
    if (slash == std::u16string::npos) {
      sections[{}].emplace_back(full, &value);
    } else {
      sections[full.substr(0, slash)].emplace_back(full.substr(slash + 1), &value);
    }
  }
  std::string out;
  for (const auto& [section, entries] : sections) {
    if (!out.empty()) out += '\n';
    std::string header;
    AppendEscapedKey(section, header);
    if (header.empty()) {
      out += "[General]\n";
    } else if (EqualsIgnoringAsciiCase(header, "general")) {
      out += "[%General]\n";
    } else {
      out += '[' + header + "]\n";
    }
    for (const auto& [name, value] : entries) {
      AppendEscapedKey(name, out);
      out += '=';
      for (std::size_t k = 0; k < value->items.size(); ++k) {
        if (k != 0) out += ", ";
        AppendEscapedText(ItemText(value->items[k]), out);
      }
      out += '\n';
    }
  }
  return out;
}

std::optional<std::u16string> IniKey(std::string_view section, std::string_view name) {
  const auto plain = [](std::string_view part) {
    return part.find_first_of(std::string_view("/\\\0", 3)) == part.npos;
  };
  if (name.empty() || !plain(section) || !plain(name)) return std::nullopt;
  std::u16string key = FromUtf8(section);
  if (!key.empty()) key += u'/';
  return key + FromUtf8(name);
}

IniValue IniIntValue(std::int32_t value) {
  const std::string digits = std::to_string(value);
  return {{{IniItem::Kind::Text, FromLatin1(digits), {}}}, false};
}

IniValue IniTextValue(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  bool valid = false;
  char32_t firstNonAscii = 0;
  std::u16string unicode = FromUtf8(text, &valid, &firstNonAscii);
  // A leading byte order mark would be dropped when the text is read back.
  if (valid && firstNonAscii != 0xFEFF) return {{{IniItem::Kind::Text, std::move(unicode), {}}}, false};
  return {{{IniItem::Kind::Bytes, {}, std::string(text)}}, false};
}

std::optional<std::int32_t> IniInt(const IniValue& value) {
  const IniItem* item = SingleItem(value);
  if (item == nullptr || item->kind == IniItem::Kind::Bytes) return std::nullopt;
  if (item->kind == IniItem::Kind::Text) return ParseDecimal(item->text);
  return StartsWith(item->text, u"@Variant(") ? DecodeVariant(item->text).number : std::nullopt;
}

std::optional<std::string> IniText(const IniValue& value) {
  const IniItem* item = SingleItem(value);
  if (item == nullptr) return std::nullopt;
  if (item->kind == IniItem::Kind::Other) {
    if (!StartsWith(item->text, u"@Variant(")) return std::nullopt;
    const std::optional<IniItem> inner = DecodeVariant(item->text).item;
    return inner ? IniText({{*inner}, false}) : std::nullopt;
  }
  std::string text = item->kind == IniItem::Kind::Text ? ToUtf8(item->text) : item->bytes;
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

}  // namespace vantrel
