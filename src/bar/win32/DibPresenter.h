#pragma once

#include <windows.h>

#include "bar/SurfacePresenter.h"

namespace vantrel {

// Puts `area` of the canvas's surface on `dc` at the same place, straight
// from the canvas's own buffer: its rows are a 32-bit top-down DIB (blue,
// green, red and an ignored byte), handed to SetDIBitsToDevice one band of
// rows at a time, so nothing is copied on the way.
void PresentSurface(HDC dc, const SurfaceView& surface, const PixelRect& area);

}  // namespace vantrel
