#pragma once

#include <xcb/xcb.h>

#include <memory>

#include "bar/AppBarService.h"
#include "bar/x11/EwmhAppBar.h"

namespace vantrel {

// The bar service on X11: the EWMH window manager's, while one runs. A bar
// that starts before its window manager (both start at login) stands at the
// edge reserving nothing, says so once, and docks as soon as a manager
// appears (see Connect). The query of the free strip and its reservation are
// one step under a server grab, so that bars started at the same moment
// never take the same strip.
class X11AppBar final : public AppBarService {
 public:
  X11AppBar(xcb_connection_t* connection, int screen, xcb_window_t window);

  // Looks for an EWMH window manager; true when one is (now) there.
  bool Connect();
  bool Connected() const { return ewmh_ != nullptr; }
  // The window was destroyed behind the bar's back: its strut went with it.
  void WindowDestroyed() { destroyed_ = true; }

  void New() override;
  void SetAutoHideBar(DockEdge edge, bool autoHide) override;
  void QueryPos(DockEdge edge, BarRect& rc) override;
  void SetPos(DockEdge edge, BarRect& rc) override;
  void EndQuery() override;
  void Remove() override;

  // Says once, in one line, that the window manager keeps no strip for the
  // bar or will not leave it there: the bar runs on as a plain window.
  void TellCannotDock();

 private:
  void Ungrab();

  xcb_connection_t* connection_;
  int screen_;
  xcb_window_t window_;
  std::unique_ptr<EwmhAppBar> ewmh_;
  bool registered_ = false;
  bool grabbed_ = false;
  bool destroyed_ = false;
  bool toldNoManager_ = false;
  bool toldCannotDock_ = false;
};

}  // namespace vantrel
