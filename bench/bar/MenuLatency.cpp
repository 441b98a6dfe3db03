// menu_latency X Y [TIMES]: right-clicks the screen at (X, Y) through the
// XTEST extension, as a user's click would arrive, and prints how many
// milliseconds pass until a new window is mapped (the bar's pop-up menu),
// then presses Escape to close it. The first time starts the menu's
// helper; the later times show the menu of a warm helper.
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

void Fake(xcb_connection_t* c, std::uint8_t type, std::uint8_t detail) {
  xcb_test_fake_input(c, type, detail, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
}

// Milliseconds until a window is mapped, or -1 after five seconds.
double WaitForMap(xcb_connection_t* c, Clock::time_point start) {
  const int fd = xcb_get_file_descriptor(c);
  (void)fd;
  while (Clock::now() - start < std::chrono::seconds(5)) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
      std::free(event);
      if (mapped) return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: menu_latency X Y [TIMES]\n", stderr);
    return 2;
  }
  const int x = std::atoi(argv[1]);
  const int y = std::atoi(argv[2]);
  const int times = argc > 3 ? std::atoi(argv[3]) : 1;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
  xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen->root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), 0);
  xcb_flush(c);
  constexpr std::uint8_t kEscapeKeycode = 9;  // the usual evdev keycode of Escape
  for (int i = 0; i < times; ++i) {
    while (xcb_generic_event_t* stale = xcb_poll_for_event(c)) std::free(stale);
    const auto start = Clock::now();
    Fake(c, XCB_BUTTON_PRESS, 3);
    Fake(c, XCB_BUTTON_RELEASE, 3);
    xcb_flush(c);
    std::printf("%.1f\n", WaitForMap(c, start));
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Fake(c, XCB_KEY_PRESS, kEscapeKeycode);
    Fake(c, XCB_KEY_RELEASE, kEscapeKeycode);
    xcb_flush(c);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  xcb_disconnect(c);
  return 0;
}
