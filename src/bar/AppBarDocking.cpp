#include "bar/AppBarDocking.h"

namespace vantrel {

BarRect ProposeBarRect(const BarRect& desk, int h, DockEdge edge) {
  if (edge == DockEdge::Top) return {desk.left, desk.top, desk.right, desk.top + h};
  return {desk.left, desk.bottom - h, desk.right, desk.bottom};
}

void FitBarRect(BarRect& rc, int h, DockEdge edge) {
  if (edge == DockEdge::Top) {
    rc.bottom = rc.top + h;
  } else {
    rc.top = rc.bottom - h;
  }
}

void AppBarDocking::DockToEdge(DockEdge edge) {
  if (!registeredWithShell) RegisterWithShell();
  if (dockEdge == DockEdge::None) undockedRect = window_.WindowRect();
  shell_.SetAutoHideBar(edge, false);
  const BarRect rc = NegotiateBarRect(edge);
  dockEdge = edge;
  PlaceInStrip(rc);
}

void AppBarDocking::PlaceInStrip(const BarRect& rc) {
  window_.PlaceTopmost({rc.left, rc.top, rc.right + 1, rc.bottom + 1});
}

bool AppBarDocking::FollowNeighbours() {
  if (dockEdge == DockEdge::None || !registeredWithShell) return false;
  BarRect rc = ProposeBarRect(dockEdge);
  shell_.QueryPos(dockEdge, rc);
  FitBarRect(rc, Thickness(), dockEdge);
  if (rc == granted_) {
    shell_.EndQuery();
    return false;
  }
  shell_.SetPos(dockEdge, rc);
  granted_ = rc;
  PlaceInStrip(rc);
  return true;
}

void AppBarDocking::RegisterWithShell() {
  shell_.New();
  registeredWithShell = true;
}

BarRect AppBarDocking::ProposeBarRect(DockEdge edge) {
  return vantrel::ProposeBarRect(window_.DesktopRect(), Thickness(), edge);
}

BarRect AppBarDocking::NegotiateBarRect(DockEdge edge) {
  BarRect rc = ProposeBarRect(edge);
  shell_.QueryPos(edge, rc);
  FitBarRect(rc, Thickness(), edge);
  shell_.SetPos(edge, rc);
  granted_ = rc;
  return rc;
}

void AppBarDocking::Remove() {
  if (!registeredWithShell) return;
  shell_.Remove();
  registeredWithShell = false;
}

void PlacementWatch::Placed(const BarRect& wanted) {
  wanted_ = wanted;
  asks_ = 0;
  gaveUp_ = false;
}

PlacementWatch::Verdict PlacementWatch::Check(const BarRect& actual) {
  if (actual == wanted_ || gaveUp_) return Verdict::Fine;
  if (asks_ < kMaxAsks) {
    ++asks_;
    return Verdict::AskAgain;
  }
  gaveUp_ = true;
  return Verdict::GiveUp;
}

int DialogUnitsToPixelsY(int units, int fontHeight) {
  return (units * fontHeight + 4) / 8;
}

int DialogBaseUnitX(int alphabetWidth) {
  return (alphabetWidth / 26 + 1) / 2;
}

int DialogUnitsToPixelsX(int units, int baseUnitX) {
  return (units * baseUnitX + 2) / 4;
}

}  // namespace vantrel
