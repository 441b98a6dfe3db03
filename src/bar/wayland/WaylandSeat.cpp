#include "bar/wayland/WaylandSeat.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstring>

namespace vantrel {
namespace {

// The evdev code of the right mouse button (BTN_RIGHT).
constexpr std::uint32_t kRightButton = 0x111;
// xkb keycodes are evdev codes shifted by 8.
constexpr std::uint32_t kEvdevToXkb = 8;

}  // namespace

// The listeners of the seat, its pointer and its keyboard; `data` is the
// WaylandSeat. Events the bar has no use for have empty handlers.
struct SeatListeners {
  static WaylandSeat& Of(void* data) { return *static_cast<WaylandSeat*>(data); }

  static void Capabilities(void* data, wl_seat*, std::uint32_t capabilities) {
    Of(data).SetCapabilities(capabilities);
  }
  static void Name(void*, wl_seat*, const char*) {}

  static void PointerEnter(void* data, wl_pointer*, std::uint32_t, wl_surface* surface, wl_fixed_t x,
                           wl_fixed_t y) {
    WaylandSeat& seat = Of(data);
    seat.pointerSurface_ = surface;
    seat.pointerX_ = wl_fixed_to_double(x);
    seat.pointerY_ = wl_fixed_to_double(y);
  }
  static void PointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
    Of(data).pointerSurface_ = nullptr;
  }
  static void Motion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
    Of(data).pointerX_ = wl_fixed_to_double(x);
    Of(data).pointerY_ = wl_fixed_to_double(y);
  }
  static void Button(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
                     std::uint32_t state) {
    WaylandSeat& seat = Of(data);
    if (button == kRightButton && state == WL_POINTER_BUTTON_STATE_PRESSED &&
        seat.pointerSurface_ != nullptr) {
      seat.events_.OnRightClick(seat.pointerSurface_, seat.pointerX_, seat.pointerY_);
    }
  }
  static void Axis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}

  static void Keymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size) {
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
      Of(data).TakeKeymap(fd, size);
    } else {
      close(fd);
    }
  }
  static void KeyboardEnter(void* data, wl_keyboard*, std::uint32_t, wl_surface* surface, wl_array*) {
    Of(data).keyboardSurface_ = surface;
  }
  static void KeyboardLeave(void* data, wl_keyboard*, std::uint32_t, wl_surface*) {
    Of(data).keyboardSurface_ = nullptr;
  }
  static void Key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
                  std::uint32_t state) {
    WaylandSeat& seat = Of(data);
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED || seat.keyboardSurface_ == nullptr || !seat.CompileKeymap())
      return;
    seat.events_.OnKeysym(seat.keyboardSurface_, xkb_state_key_get_one_sym(seat.state_, key + kEvdevToXkb));
  }
  static void Modifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
                        std::uint32_t latched, std::uint32_t locked, std::uint32_t group) {
    WaylandSeat& seat = Of(data);
    seat.modifiers_[0] = depressed;
    seat.modifiers_[1] = latched;
    seat.modifiers_[2] = locked;
    seat.modifiers_[3] = group;
    if (seat.state_ != nullptr) xkb_state_update_mask(seat.state_, depressed, latched, locked, 0, 0, group);
  }
};

// libwayland's listeners grow with each version of a protocol; the events
// of versions later than those bound (seat 3) never come, and their handlers
// stay null.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
constexpr wl_seat_listener kSeatListener{.capabilities = SeatListeners::Capabilities,
                                         .name = SeatListeners::Name};
constexpr wl_pointer_listener kPointerListener{.enter = SeatListeners::PointerEnter,
                                               .leave = SeatListeners::PointerLeave,
                                               .motion = SeatListeners::Motion,
                                               .button = SeatListeners::Button,
                                               .axis = SeatListeners::Axis};
constexpr wl_keyboard_listener kKeyboardListener{.keymap = SeatListeners::Keymap,
                                                 .enter = SeatListeners::KeyboardEnter,
                                                 .leave = SeatListeners::KeyboardLeave,
                                                 .key = SeatListeners::Key,
                                                 .modifiers = SeatListeners::Modifiers};
#pragma GCC diagnostic pop

WaylandSeat::WaylandSeat(wl_seat* seat, Events& events) : seat_(seat), events_(events) {
  wl_seat_add_listener(seat_, &kSeatListener, this);
}

WaylandSeat::~WaylandSeat() {
  ReleaseDevices();
  ReleaseKeymap();
  if (xkb_ != nullptr) xkb_context_unref(xkb_);
  wl_seat_destroy(seat_);
}

void WaylandSeat::SetCapabilities(std::uint32_t capabilities) {
  // Capabilities change seldom (a keyboard plugged in): the devices are taken
  // anew each time.
  ReleaseDevices();
  if ((capabilities & WL_SEAT_CAPABILITY_POINTER) != 0) {
    pointer_ = wl_seat_get_pointer(seat_);
    wl_pointer_add_listener(pointer_, &kPointerListener, this);
  }
  if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0) {
    keyboard_ = wl_seat_get_keyboard(seat_);
    wl_keyboard_add_listener(keyboard_, &kKeyboardListener, this);
  }
}

void WaylandSeat::ReleaseDevices() {
  if (pointer_ != nullptr) wl_pointer_destroy(pointer_);
  if (keyboard_ != nullptr) wl_keyboard_destroy(keyboard_);
  pointer_ = nullptr;
  keyboard_ = nullptr;
  pointerSurface_ = nullptr;
  keyboardSurface_ = nullptr;
}

void WaylandSeat::TakeKeymap(int fd, std::size_t size) {
  ReleaseKeymap();
  keymapFd_ = fd;
  keymapSize_ = size;
}

void WaylandSeat::ReleaseKeymap() {
  if (state_ != nullptr) xkb_state_unref(state_);
  if (keymap_ != nullptr) xkb_keymap_unref(keymap_);
  if (keymapFd_ >= 0) close(keymapFd_);
  state_ = nullptr;
  keymap_ = nullptr;
  keymapFd_ = -1;
}

bool WaylandSeat::CompileKeymap() {
  if (state_ != nullptr) return true;
  if (keymapFd_ < 0 || keymapSize_ == 0) return false;
  if (xkb_ == nullptr) xkb_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  if (xkb_ == nullptr) return false;
  void* text = mmap(nullptr, keymapSize_, PROT_READ, MAP_PRIVATE, keymapFd_, 0);
  if (text == MAP_FAILED) return false;
  // The text ends with a NUL within `size` bytes.
  keymap_ = xkb_keymap_new_from_buffer(xkb_, static_cast<const char*>(text),
                                       strnlen(static_cast<const char*>(text), keymapSize_),
                                       XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
  munmap(text, keymapSize_);
  if (keymap_ == nullptr) return false;
  state_ = xkb_state_new(keymap_);
  if (state_ == nullptr) return false;
  xkb_state_update_mask(state_, modifiers_[0], modifiers_[1], modifiers_[2], 0, 0, modifiers_[3]);
  return true;
}

}  // namespace vantrel
