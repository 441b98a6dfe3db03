#pragma once

#include "bar/AppBarService.h"
#include "bar/BarRect.h"
#include "settings/DockEdge.h"

namespace vantrel {

// The strip proposed on `edge` of the screen `desk` for a bar `h` pixels thick.
BarRect ProposeBarRect(const BarRect& desk, int h, DockEdge edge);

// Gives `rc` the thickness `h` again on the side away from `edge`.
void FitBarRect(BarRect& rc, int h, DockEdge edge);

// Docks the bar window along the top or bottom screen edge and keeps its
// strip reserved with the desktop's bar service.
class AppBarDocking {
 public:
  AppBarDocking(AppBarService& shell, DockedWindow& window) : shell_(shell), window_(window) {}

  // Registers if needed, negotiates the strip on `edge` and moves the window
  // there: one pixel wider and taller than the granted strip.
  void DockToEdge(DockEdge edge);

  // Asks the service again for the strip on the edge the bar is docked on,
  // after a neighbouring bar or panel came, moved or went: the bar and its
  // reservation move only when the strip differs from the one it holds, so
  // that the notices its own move causes end there. True when it moved.
  bool FollowNeighbours();

  void RegisterWithShell();
  BarRect NegotiateBarRect(DockEdge edge);
  BarRect ProposeBarRect(DockEdge edge);

  // Releases the strip, once; the window stays where it is.
  void Remove();

  // The bar's thickness: the height of the window before its first docking.
  int Thickness() const { return undockedRect.Height(); }

  BarRect undockedRect;
  DockEdge dockEdge = DockEdge::None;
  bool registeredWithShell = false;

 private:
  // Shows the window over the granted strip, one pixel wider and taller.
  void PlaceInStrip(const BarRect& rc);

  AppBarService& shell_;
  DockedWindow& window_;
  BarRect granted_;  // the strip last reserved
};

// Puts the bar back when the window manager moves it off its strip. The host
// says where the window was placed and where it really is after each move;
// the bar asks again a bounded number of times for each placement.
class PlacementWatch {
 public:
  enum class Verdict { Fine, AskAgain, GiveUp };
  static constexpr int kMaxAsks = 3;

  void Placed(const BarRect& wanted);
  // Fine where the window is where it was placed (or asking has ended),
  // AskAgain while asks remain, GiveUp once when they run out.
  Verdict Check(const BarRect& actual);
  const BarRect& Wanted() const { return wanted_; }

 private:
  BarRect wanted_;
  int asks_ = 0;
  bool gaveUp_ = false;
};

// Pixels that `units` vertical dialog units come to in a dialog font whose
// character height is `fontHeight` pixels (8 units to a character height,
// rounded to the nearest pixel).
int DialogUnitsToPixelsY(int units, int fontHeight);

// A dialog font's horizontal base unit from the width in pixels of the 52
// letters "A".."Z" and "a".."z": half their average width, rounded.
int DialogBaseUnitX(int alphabetWidth);

// Pixels that `units` horizontal dialog units come to at the base unit
// `baseUnitX` (4 units to a base unit, rounded to the nearest pixel).
int DialogUnitsToPixelsX(int units, int baseUnitX);

}  // namespace vantrel
