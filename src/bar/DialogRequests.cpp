#include "bar/DialogRequests.h"

#include <charconv>
#include <system_error>

namespace vantrel {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// The words of a line, split at single spaces; an empty word (two spaces,
// a space at either end) makes the line malformed.
class Words {
 public:
  explicit Words(std::string_view line) : rest_(line), ok_(!line.empty()) {}

  std::string_view Next() {
    if (!ok_ || done_) {
      ok_ = false;
      return {};
    }
    const std::size_t space = rest_.find(' ');
    std::string_view word = rest_.substr(0, space);
    if (space == std::string_view::npos) {
      done_ = true;
    } else {
      rest_.remove_prefix(space + 1);
    }
    if (word.empty()) ok_ = false;
    return word;
  }
  // The value of the next word, which must be `key=value` (the value may be empty).
  std::string_view Value(std::string_view key) {
    const std::string_view word = Next();
    if (word.size() > key.size() && word.starts_with(key) && word[key.size()] == '=') {
      return word.substr(key.size() + 1);
    }
    ok_ = false;
    return {};
  }
  // True when every word was read and all of them were well formed.
  bool Finished() const { return ok_ && done_; }

 private:
  std::string_view rest_;
  bool ok_;
  bool done_ = false;
};

template <typename Number>
bool ParseNumber(std::string_view text, Number& out, int base = 10) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out, base);
  return error == std::errc() && end == text.data() + text.size();
}

std::string Hex(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xF];
  }
  return out;
}

bool Unhex(std::string_view hex, std::string& out) {
  if (hex.size() % 2 != 0) return false;
  out.clear();
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned byte = 0;
    if (!ParseNumber(hex.substr(i, 2), byte, 16)) return false;
    out += static_cast<char>(byte);
  }
  return true;
}

std::string HexNumber(std::uint32_t value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
  return std::string(buffer, result.ptr);
}

std::string Rect(const BarRect& rect) {
  return std::to_string(rect.left) + ',' + std::to_string(rect.top) + ',' + std::to_string(rect.right) + ',' +
         std::to_string(rect.bottom);
}

// Comma-separated integers, exactly `out.size()` of them.
bool ParseInts(std::string_view text, std::span<int> out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::size_t comma = text.find(',');
    const bool last = i + 1 == out.size();
    if (last != (comma == std::string_view::npos)) return false;
    if (!ParseNumber(text.substr(0, comma), out[i])) return false;
    if (!last) text.remove_prefix(comma + 1);
  }
  return true;
}

std::string Owner(const DialogOwner& owner) {
  return " bar=" + Rect(owner.rect) + " window=" + std::to_string(owner.window);
}

bool ParseOwner(Words& words, DialogOwner& owner) {
  int rect[4] = {};
  if (!ParseInts(words.Value("bar"), rect)) return false;
  owner.rect = {rect[0], rect[1], rect[2], rect[3]};
  return ParseNumber(words.Value("window"), owner.window);
}

std::string Settings(const BarSettings& s) {
  return " connection=" + Hex(s.connection) + " bg=" + HexNumber(s.bgColor) +
         " text=" + HexNumber(s.textColor) + " label=" + HexNumber(s.labelColor) +
         " graph=" + HexNumber(s.graphColor) + " download=" + HexNumber(s.downloadColor) +
         " upload=" + HexNumber(s.uploadColor) + " position=" + std::to_string(s.position) +
         " runAtStartup=" + std::to_string(s.runAtStartup) + " units=" + std::to_string(s.units) +
         " automatic=" + std::to_string(s.automaticConnection);
}

bool ParseSettings(Words& words, BarSettings& s) {
  return Unhex(words.Value("connection"), s.connection) && ParseNumber(words.Value("bg"), s.bgColor, 16) &&
         ParseNumber(words.Value("text"), s.textColor, 16) &&
         ParseNumber(words.Value("label"), s.labelColor, 16) &&
         ParseNumber(words.Value("graph"), s.graphColor, 16) &&
         ParseNumber(words.Value("download"), s.downloadColor, 16) &&
         ParseNumber(words.Value("upload"), s.uploadColor, 16) &&
         ParseNumber(words.Value("position"), s.position) &&
         ParseNumber(words.Value("runAtStartup"), s.runAtStartup) &&
         ParseNumber(words.Value("units"), s.units) &&
         ParseNumber(words.Value("automatic"), s.automaticConnection);
}

bool ParseMenuItems(std::string_view text, std::vector<MenuEntry>& items) {
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    const std::size_t colon = item.find(':');
    if (colon == std::string_view::npos) return false;
    MenuEntry entry;
    if (!ParseNumber(item.substr(0, colon), entry.command) || !Unhex(item.substr(colon + 1), entry.text)) {
      return false;
    }
    items.push_back(std::move(entry));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
    if (text.empty()) return false;  // a trailing comma
  }
  return true;
}

}  // namespace

MenuRequest MakeMenuRequest(ScreenPoint at, std::span<const MenuItem> items) {
  MenuRequest request{at, {}};
  for (const MenuItem& item : items) request.items.push_back({item.command, item.text});
  return request;
}

std::string EncodeRequest(const DialogRequest& request) {
  struct Encode {
    std::string operator()(std::monostate) const { return "none\n"; }
    std::string operator()(const MenuRequest& menu) const {
      std::string line = "menu at=" + std::to_string(menu.at.x) + ',' + std::to_string(menu.at.y) + " items=";
      for (std::size_t i = 0; i < menu.items.size(); ++i) {
        if (i > 0) line += ',';
        line += std::to_string(menu.items[i].command) + ':' + Hex(menu.items[i].text);
      }
      return line + '\n';
    }
    std::string operator()(const OptionsRequest& options) const {
      return "options" + Owner(options.owner) + Settings(options.settings) + '\n';
    }
    std::string operator()(const AboutRequest& about) const { return "about" + Owner(about.owner) + '\n'; }
    std::string operator()(const OpenRequest& open) const { return "open path=" + Hex(open.path) + '\n'; }
    std::string operator()(const CancelRequest&) const { return "cancel\n"; }
  };
  return std::visit(Encode{}, request);
}

std::string EncodeReply(const DialogReply& reply) {
  struct Encode {
    std::string operator()(std::monostate) const { return "none\n"; }
    std::string operator()(const MenuReply& menu) const {
      return "menu command=" + std::to_string(menu.command) + '\n';
    }
    std::string operator()(const OptionsReply& options) const {
      if (!options.settings) return "options cancelled\n";
      return "options ok" + Settings(*options.settings) + '\n';
    }
    std::string operator()(const AboutReply&) const { return "about done\n"; }
    std::string operator()(const OpenReply&) const { return "open done\n"; }
  };
  return std::visit(Encode{}, reply);
}

namespace {

// The message on `line` as `parse` reads it from its kind (the first word)
// and the words after it; nothing unless every word was read well.
template <typename Message, typename Parse>
Message ParseLine(std::string_view line, Parse parse) {
  Words words(line);
  const std::string_view kind = words.Next();
  Message message = parse(kind, words);
  return words.Finished() ? message : Message{};
}

DialogRequest ParseRequestWords(std::string_view kind, Words& words) {
  DialogRequest request;
  if (kind == "menu") {
    MenuRequest menu;
    int at[2] = {};
    if (ParseInts(words.Value("at"), at) && ParseMenuItems(words.Value("items"), menu.items)) {
      menu.at = {at[0], at[1]};
      request = std::move(menu);
    }
  } else if (kind == "options") {
    OptionsRequest options;
    if (ParseOwner(words, options.owner) && ParseSettings(words, options.settings))
      request = std::move(options);
  } else if (kind == "about") {
    AboutRequest about;
    if (ParseOwner(words, about.owner)) request = about;
  } else if (kind == "open") {
    OpenRequest open;
    if (Unhex(words.Value("path"), open.path)) request = std::move(open);
  } else if (kind == "cancel") {
    request = CancelRequest{};
  }
  return request;
}

DialogReply ParseReplyWords(std::string_view kind, Words& words) {
  DialogReply reply;
  if (kind == "menu") {
    MenuReply menu;
    if (ParseNumber(words.Value("command"), menu.command)) reply = menu;
  } else if (kind == "options") {
    const std::string_view outcome = words.Next();
    BarSettings settings;
    if (outcome == "cancelled") {
      reply = OptionsReply{};
    } else if (outcome == "ok" && ParseSettings(words, settings)) {
      reply = OptionsReply{std::move(settings)};
    }
  } else if (kind == "about" && words.Next() == "done") {
    reply = AboutReply{};
  } else if (kind == "open" && words.Next() == "done") {
    reply = OpenReply{};
  }
  return reply;
}

}  // namespace

DialogRequest ParseRequest(std::string_view line) {
  return ParseLine<DialogRequest>(line, ParseRequestWords);
}

DialogReply ParseReply(std::string_view line) {
  return ParseLine<DialogReply>(line, ParseReplyWords);
}

DialogReply CancelledReplyTo(const DialogRequest& request) {
  if (std::holds_alternative<MenuRequest>(request)) return MenuReply{};
  if (std::holds_alternative<OptionsRequest>(request)) return OptionsReply{};
  if (std::holds_alternative<AboutRequest>(request)) return AboutReply{};
  if (std::holds_alternative<OpenRequest>(request)) return OpenReply{};
  return {};
}

bool Answers(const DialogReply& reply, const DialogRequest& request) {
  const DialogReply expected = CancelledReplyTo(request);
  return reply.index() != 0 && reply.index() == expected.index();
}

}  // namespace vantrel
