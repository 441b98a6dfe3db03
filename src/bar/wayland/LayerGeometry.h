#pragma once

#include <cstddef>
#include <span>

#include "bar/BarCanvas.h"
#include "bar/BarHost.h"
#include "bar/BarRect.h"

namespace vantrel {

// The arithmetic of the bar as a layer surface, apart from the protocol.
//
// Sizes of surfaces and outputs are in the compositor's logical pixels; the
// picture is drawn in buffer pixels, `scale` of them to a logical pixel.

// An output's logical size from its current mode, its transform (wl_output's
// numbering: the odd ones turn it a quarter) and its integer scale, where the
// compositor does not tell the logical size itself.
PixelSize LogicalOutputSize(PixelSize mode, int transform, int scale);

// The canvas for a layer surface configured at `surface`: the surface in
// buffer pixels and one pixel more each way. The bar's window is one pixel
// wider and taller than its strip; the strip is the surface, and the extra
// column and row stay outside it, as they lie off the screen's right and
// bottom edges on X11.
PixelSize CanvasSizeFor(PixelSize surface, int scale);

// The part of a canvas surface of `canvas` pixels that the layer surface
// shows: all but the extra column and row.
PixelSize ShownPartOf(PixelSize canvas);

// Where an output lies in the compositor's layout.
struct OutputPlace {
  int x = 0;
  int y = 0;
};

// The output the bar docks on: the core protocol names no primary output, so
// the one at the layout's origin (where Xwayland's primary screen starts),
// else the first one announced. `outputs` is never empty.
std::size_t ChooseOutput(std::span<const OutputPlace> outputs);

// A point on the bar, `local` logical pixels into its surface, in the
// compositor's layout: a client never learns where its surface is, so the
// surface is taken to lie where the bar docked, `strip`.
ScreenPoint ScreenPointOn(const BarRect& strip, double localX, double localY);

}  // namespace vantrel
