#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <memory>
#include <vector>

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

  // False for a manager that says it keeps no space free for docks' struts.
  bool ReservesStrips();

 private:
  EwmhAppBar(xcb_connection_t* connection, int screen, xcb_window_t window);

  // How far other windows' struts on `edge` reach into the screen over the
  // columns of `rc`, measured from that edge of the root window. While the
  // bar holds a strip there, only the struts nearer the edge than its own
  // count: the bars stacked beyond it are its neighbours, not its floor.
  // Each window with a strut is watched for changes of it from then on.
  // `floor` is what those nearer docks stand on that no strut holds.
  int ReservedByOthers(DockEdge edge, const BarRect& rc, int rootHeight, int& floor);
  // How far the window manager's work area stops short of `edge` where no
  // strut explains it: panels that reserve space without one. The work area
  // cannot see past the bar's own strip, so while the bar holds one on
  // `edge`, what it found before taking the strip stands, or what the docks
  // below it were seen to stand on (`floor`), whichever is more.
  int ReservedByWorkArea(DockEdge edge, int rootHeight, int others, int floor);
  int RootHeight();

  xcb_connection_t* connection_;
  int screen_;
  xcb_window_t window_;
  xcb_ewmh_connection_t ewmh_{};
  // The strut the bar holds now: its edge and how far it reaches in.
  DockEdge ownEdge_ = DockEdge::None;
  int ownDepth_ = 0;
  // What is held back on ownEdge_ beyond every strut: found in the work
  // area when the bar took its strip, or under the docks nearer the edge.
  int reservedWithoutStrut_ = 0;
  // The windows whose strut changes are delivered to the bar (sorted).
  std::vector<xcb_window_t> watched_;
};

}  // namespace vantrel
