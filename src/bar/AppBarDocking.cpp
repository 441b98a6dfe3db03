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
  window_.PlaceTopmost({rc.left, rc.top, rc.right + 1, rc.bottom + 1});
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
  return rc;
}

void AppBarDocking::Remove() {
  if (!registeredWithShell) return;
  shell_.Remove();
  registeredWithShell = false;
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
