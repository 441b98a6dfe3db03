#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <memory>

#include "bar/AppBarService.h"

namespace vantrel {

// The bar service of an EWMH window manager: the bar is a dock window, and
// its strip is reserved with _NET_WM_STRUT_PARTIAL (and _NET_WM_STRUT for
// older managers). The window manager lays other windows out around it.
class EwmhAppBar final : public AppBarService {
 public:
  // Null when no EWMH window manager runs on `connection`'s screen.
  static std::unique_ptr<EwmhAppBar> Connect(xcb_connection_t* connection, int screen, xcb_window_t window);
  ~EwmhAppBar() override;

  EwmhAppBar(const EwmhAppBar&) = delete;
  EwmhAppBar& operator=(const EwmhAppBar&) = delete;

  // Makes the window a dock. Takes effect when the window is next mapped.
  void New() override;
  void SetAutoHideBar(DockEdge edge, bool autoHide) override;
  void QueryPos(DockEdge edge, BarRect& rc) override;
  void SetPos(DockEdge edge, BarRect& rc) override;
  void Remove() override;

 private:
  EwmhAppBar(xcb_connection_t* connection, int screen, xcb_window_t window);

  // How far other windows' struts on `edge` reach into the screen over the
  // columns of `rc`, measured from that edge of the root window.
  int ReservedByOthers(DockEdge edge, const BarRect& rc, int rootHeight);
  // How far the window manager's work area stops short of `edge`, less the
  // bar's own strip: task bars that reserve space without a strut.
  int ReservedByWorkArea(DockEdge edge, int rootHeight, int height);
  int RootHeight();

  xcb_connection_t* connection_;
  int screen_;
  xcb_window_t window_;
  xcb_ewmh_connection_t ewmh_{};
  // The strut the bar holds now: its edge and how far it reaches in.
  DockEdge ownEdge_ = DockEdge::None;
  int ownDepth_ = 0;
};

}  // namespace vantrel
