#pragma once

#include <string_view>

#include "settings/BarSettings.h"

namespace vantrel {

// A size in pixels.
struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

// A rectangle in client pixels; right and bottom lie just outside it.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// The extent of a text in the current font.
struct TextExtent {
  int cx = 0;  // width: the horizontal advance of the whole text
  int cy = 0;  // height: the font's ascent plus descent
  bool operator==(const TextExtent&) const = default;
};

// What the bar needs to draw itself: an off-screen surface of the client
// area's size, solid one-pixel lines, text, and the copy of the surface to
// the window. Coordinates are client pixels, origin at the top left. A canvas
// never writes outside its surface: whatever falls outside is cut off.
class BarCanvas {
 public:
  virtual ~BarCanvas() = default;

  // The size of the window's client area now.
  virtual PixelSize ClientSize() const = 0;

  // The off-screen surface. CreateSurface makes one of the given size (its
  // contents are undefined until drawn); it fails for an empty size or when
  // no memory is left, and then HasSurface stays false.
  virtual bool HasSurface() const = 0;
  virtual bool CreateSurface(PixelSize size) = 0;
  virtual void ReleaseSurface() = 0;

  // A solid line one pixel wide from (x1, y1) towards (x2, y2), leaving out
  // the end point: a line from x to x + n covers n pixels, and a line to its
  // own start point covers none. Lines are horizontal (y1 == y2) or vertical
  // (x1 == x2); the canvas draws nothing for any other.
  virtual void DrawLine(int x1, int y1, int x2, int y2, Color color) = 0;

  // A pass of text drawing: BeginText makes the bar's text font current and
  // EndText drops it. MeasureText, SetTextColor and DrawTextAt work inside a
  // pass only.
  virtual void BeginText() = 0;
  virtual void EndText() = 0;
  virtual TextExtent MeasureText(std::string_view text) = 0;
  virtual void SetTextColor(Color color) = 0;
  // Draws `text` with the top-left corner of its cell at (x, y), in the
  // current text colour and without a background.
  virtual void DrawTextAt(int x, int y, std::string_view text) = 0;
  // The same, leaving out every pixel left of `clipLeft` and from
  // `clipRight` on: the text is cut at the edges of its column.
  virtual void DrawTextClipped(int x, int y, std::string_view text, int clipLeft, int clipRight) = 0;

  // Copies the part `area` of the surface to the same place in the window.
  virtual void CopyToWindow(const PixelRect& area) = 0;
};

}  // namespace vantrel
