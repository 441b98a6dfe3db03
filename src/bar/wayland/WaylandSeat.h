#pragma once

#include <cstddef>
#include <cstdint>

struct wl_keyboard;
struct wl_pointer;
struct wl_seat;
struct wl_surface;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace vantrel {

// The input the bar takes from a wl_seat: the right mouse button and the
// keys pressed while its surface has the keyboard, as keysyms of the
// seat's keymap. The keymap is compiled on the first key that reaches the
// surface, so that a bar nobody types at never holds one.
class WaylandSeat {
 public:
  class Events {
   public:
    virtual ~Events() = default;
    // The right button went down at (x, y) logical pixels into `surface`.
    virtual void OnRightClick(wl_surface* surface, double x, double y) = 0;
    // A key went down while `surface` had the keyboard.
    virtual void OnKeysym(wl_surface* surface, std::uint32_t keysym) = 0;
  };

  WaylandSeat(wl_seat* seat, Events& events);
  ~WaylandSeat();
  WaylandSeat(const WaylandSeat&) = delete;
  WaylandSeat& operator=(const WaylandSeat&) = delete;

 private:
  friend struct SeatListeners;

  void SetCapabilities(std::uint32_t capabilities);
  void ReleaseDevices();
  void TakeKeymap(int fd, std::size_t size);
  bool CompileKeymap();
  void ReleaseKeymap();

  wl_seat* seat_;
  Events& events_;
  wl_pointer* pointer_ = nullptr;
  wl_keyboard* keyboard_ = nullptr;
  wl_surface* pointerSurface_ = nullptr;
  double pointerX_ = 0;
  double pointerY_ = 0;
  wl_surface* keyboardSurface_ = nullptr;

  // The keymap as the compositor sent it, until a key needs it compiled.
  int keymapFd_ = -1;
  std::size_t keymapSize_ = 0;
  xkb_context* xkb_ = nullptr;
  xkb_keymap* keymap_ = nullptr;
  xkb_state* state_ = nullptr;
  // The modifiers last reported, for a state compiled after them.
  std::uint32_t modifiers_[4] = {};
};

}  // namespace vantrel
