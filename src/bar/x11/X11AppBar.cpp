#include "bar/x11/X11AppBar.h"

#include <cstdio>

namespace vantrel {

X11AppBar::X11AppBar(xcb_connection_t* connection, int screen, xcb_window_t window)
    : connection_(connection), screen_(screen), window_(window) {}

bool X11AppBar::Connect() {
  if (!ewmh_) ewmh_ = EwmhAppBar::Connect(connection_, screen_, window_);
  if (ewmh_ && registered_) {
    ewmh_->New();
    if (!ewmh_->ReservesStrips()) TellCannotDock();
  }
  return ewmh_ != nullptr;
}

void X11AppBar::TellCannotDock() {
  if (toldCannotDock_) return;
  std::fputs(
      "vantrel: the window manager does not dock the bar at the screen edge; it runs as a plain window\n",
      stderr);
  toldCannotDock_ = true;
}

void X11AppBar::New() {
  registered_ = true;
  if (Connect()) return;
  if (!toldNoManager_) {
    std::fputs("vantrel: no EWMH window manager; the bar stands at the screen edge but reserves no space\n",
               stderr);
    toldNoManager_ = true;
  }
}

void X11AppBar::SetAutoHideBar(DockEdge edge, bool autoHide) {
  if (ewmh_) ewmh_->SetAutoHideBar(edge, autoHide);
}

void X11AppBar::QueryPos(DockEdge edge, BarRect& rc) {
  if (!ewmh_ || destroyed_) return;
  // Held until SetPos has reserved the strip found here.
  xcb_grab_server(connection_);
  grabbed_ = true;
  ewmh_->QueryPos(edge, rc);
}

void X11AppBar::SetPos(DockEdge edge, BarRect& rc) {
  if (ewmh_ && !destroyed_) ewmh_->SetPos(edge, rc);
  Ungrab();
}

void X11AppBar::EndQuery() {
  Ungrab();
}

void X11AppBar::Remove() {
  Ungrab();
  if (ewmh_ && !destroyed_) ewmh_->Remove();
  registered_ = false;
}

void X11AppBar::Ungrab() {
  if (!grabbed_) return;
  xcb_ungrab_server(connection_);
  xcb_flush(connection_);
  grabbed_ = false;
}

}  // namespace vantrel
