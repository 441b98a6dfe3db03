#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bar/BarController.h"
#include "bar/PixelBufferCanvas.h"
#include "bar/SurfacePresenter.h"
#include "bar/linux/EventLoop.h"
#include "bar/linux/LoopBarWindow.h"
#include "bar/x11/X11AppBar.h"

namespace vantrel {

// The bar's window on X11, straight over xcb: a dock window created with its
// type, topmost, kept out of task bars and pagers, and sized from the dialog
// font until it docks. It turns X events into calls of the bar's controller
// (expose, right-click, Enter and Esc, the window manager's close request,
// the window destroyed behind the bar's back, RandR screen changes, a window
// manager that starts later) and pushes the canvas's pixels to the window.
class X11BarHost final : public LoopBarWindow, public SurfacePresenter {
 public:
  // Opens the display named by $DISPLAY; null when there is none.
  static std::unique_ptr<X11BarHost> Open(EventLoop& loop);
  ~X11BarHost() override;

  X11BarHost(const X11BarHost&) = delete;
  X11BarHost& operator=(const X11BarHost&) = delete;

  // The screen's vertical resolution: Xft.dpi, else from its size.
  int Dpi() const { return dpi_; }
  AppBarService& AppBar() { return appBar_; }
  xcb_window_t Window() const { return window_; }

  // Starts delivering events to `controller` and drawing through `canvas`.
  void Attach(BarController& controller, PixelBufferCanvas& canvas);
  // True when the connection to the X server broke.
  bool ConnectionLost() const;

  // BarWindow
  BarRect DesktopRect() override;
  void PlaceTopmost(const BarRect& rc) override;
  void Hide() override;

  // SurfacePresenter
  void Present(const SurfaceView& surface, const PixelRect& area) override;

 private:
  X11BarHost(xcb_connection_t* connection, int screenNumber, EventLoop& loop);
  void CreateWindow();
  void ReadKeyboardMapping();
  void ReadDpi();
  void Dispatch();
  void BeforeTick() override;
  void Handle(const xcb_generic_event_t& event);
  void HandleProperty(const xcb_property_notify_event_t& property);
  xcb_atom_t Atom(const char* name);
  // Asks for the window at `rc`: its size hints and a configure request.
  void Configure(const BarRect& rc);
  // Compares where the window manager put the window with where it was
  // placed, and asks again or gives up (PlacementWatch).
  void CheckPlacement();
  // The root window's size now (the screen's size at connection goes stale).
  BarRect RootRect();

  xcb_connection_t* connection_;
  int screenNumber_;
  xcb_screen_t* screen_;
  xcb_window_t window_ = XCB_NONE;
  xcb_gcontext_t gc_ = XCB_NONE;
  X11AppBar appBar_;
  PixelBufferCanvas* canvas_ = nullptr;

  int dpi_ = 96;
  bool mapped_ = false;
  bool destroyed_ = false;
  int ticksWithoutManager_ = 0;
  PlacementWatch placement_;
  std::uint8_t randrEventBase_ = 0;
  bool hasRandr_ = false;
  xcb_atom_t wmProtocols_ = XCB_NONE;
  xcb_atom_t wmDeleteWindow_ = XCB_NONE;
  xcb_atom_t workArea_ = XCB_NONE;
  xcb_atom_t clientList_ = XCB_NONE;
  xcb_atom_t strut_ = XCB_NONE;
  xcb_atom_t strutPartial_ = XCB_NONE;
  xcb_atom_t wmDesktop_ = XCB_NONE;
  // The keys with a command (BarCommandForKeysym) and that command.
  std::vector<std::pair<xcb_keycode_t, int>> keyCommands_;
  std::vector<std::uint8_t> rows_;  // a band of the surface, reused
};

}  // namespace vantrel
