#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "bar/BarHost.h"
#include "bar/BarRect.h"
#include "settings/BarSettings.h"

namespace vantrel {

// The bar's menu and dialogs run in a helper process; the bar sends it one
// request at a time and waits for the reply. Each message is one line of
// text ending in '\n'; free text (menu items, the connection, paths) is
// hex-encoded, so no byte of it can break a line. A line that does not parse
// exactly is read as a cancelled request or a dismissed answer.

// The bar's window as the dialogs see it: they are centred over `rect` and
// belong to `window`, the bar's native window id (0: none).
struct DialogOwner {
  BarRect rect;
  std::uint64_t window = 0;
  bool operator==(const DialogOwner&) const = default;
};

// One menu item with its text owned; a command of 0 is a separator.
struct MenuEntry {
  int command = 0;
  std::string text;
  bool operator==(const MenuEntry&) const = default;
};

// "menu": the pop-up menu with its right edge and top at `at`.
struct MenuRequest {
  ScreenPoint at;
  std::vector<MenuEntry> items;
  bool operator==(const MenuRequest& other) const {
    return at.x == other.at.x && at.y == other.at.y && items == other.items;
  }
};
// "options": the Options dialog on `settings`.
struct OptionsRequest {
  DialogOwner owner;
  BarSettings settings;
  bool operator==(const OptionsRequest&) const = default;
};
// "about": the About box.
struct AboutRequest {
  DialogOwner owner;
  bool operator==(const AboutRequest&) const = default;
};
// "open": a local file opened with the desktop's viewer for it.
struct OpenRequest {
  std::string path;
  bool operator==(const OpenRequest&) const = default;
};
// "cancel": whatever is open closes as cancelled.
struct CancelRequest {
  bool operator==(const CancelRequest&) const = default;
};

// std::monostate: a line that is no request.
using DialogRequest =
    std::variant<std::monostate, MenuRequest, OptionsRequest, AboutRequest, OpenRequest, CancelRequest>;

// The answers, one per request except "cancel".
struct MenuReply {
  int command = 0;  // 0: dismissed
  bool operator==(const MenuReply&) const = default;
};
struct OptionsReply {
  std::optional<BarSettings> settings;  // empty: cancelled
  bool operator==(const OptionsReply&) const = default;
};
struct AboutReply {
  bool operator==(const AboutReply&) const = default;
};
struct OpenReply {
  bool operator==(const OpenReply&) const = default;
};

// The helper's first line for each request but "cancel", sent the moment
// the request has reached it: the helper is alive and working on it.
inline constexpr std::string_view kReceivedLine = "received";

// std::monostate: a line that is no reply.
using DialogReply = std::variant<std::monostate, MenuReply, OptionsReply, AboutReply, OpenReply>;

// The menu request for `items`, whose texts are copied.
MenuRequest MakeMenuRequest(ScreenPoint at, std::span<const MenuItem> items);

// One line each, '\n' included. A monostate gives "none", a line that
// answers or asks nothing.
std::string EncodeRequest(const DialogRequest& request);
std::string EncodeReply(const DialogReply& reply);

// `line` without its '\n'. Anything malformed gives std::monostate.
DialogRequest ParseRequest(std::string_view line);
DialogReply ParseReply(std::string_view line);

// What the request that was sent is answered with when `reply` is not its
// answer (malformed, of another kind) or there is none: a dismissed menu, a
// cancelled dialog.
DialogReply CancelledReplyTo(const DialogRequest& request);
// True when `reply` is an answer of the kind `request` asks for.
bool Answers(const DialogReply& reply, const DialogRequest& request);

}  // namespace vantrel
