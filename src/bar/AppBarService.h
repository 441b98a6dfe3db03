#pragma once

#include "bar/BarRect.h"
#include "settings/DockEdge.h"

namespace vantrel {

// The desktop's service that reserves a strip along a screen edge for a bar
// and lays other windows out around it.
class AppBarService {
 public:
  virtual ~AppBarService() = default;

  // Registers the bar with the service.
  virtual void New() = 0;
  // Keeps the bar always visible (never auto-hidden).
  virtual void SetAutoHideBar(DockEdge edge, bool autoHide) = 0;
  // Moves `rc` on `edge` clear of what other bars already hold; reserves nothing.
  virtual void QueryPos(DockEdge edge, BarRect& rc) = 0;
  // Reserves `rc` on `edge`; the service may adjust it.
  virtual void SetPos(DockEdge edge, BarRect& rc) = 0;
  // Ends a query that is followed by no reservation (the strip came out as
  // the bar holds it already).
  virtual void EndQuery() {}
  // Releases the reservation.
  virtual void Remove() = 0;
};

// The bar window as docking sees it.
class DockedWindow {
 public:
  virtual ~DockedWindow() = default;

  // The window's rectangle in screen coordinates.
  virtual BarRect WindowRect() = 0;
  // The primary screen's rectangle.
  virtual BarRect DesktopRect() = 0;
  // Shows the window at `rc`, in the always-on-top band.
  virtual void PlaceTopmost(const BarRect& rc) = 0;
};

}  // namespace vantrel
