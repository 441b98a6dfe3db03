#pragma once

#include <cstddef>
#include <cstdint>

#include "bar/BarCanvas.h"

namespace vantrel {

// A read-only look at a canvas's pixels: `height` rows of `width` pixels,
// `stride` pixels apart. For the pixel format see PixelBufferCanvas.h.
struct SurfaceView {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;

  const std::uint32_t* Row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
};

// The window's side of the copy to the window: puts a rectangle of the
// surface on the window at the same place (xcb_put_image, wl_surface damage
// and commit, SetDIBitsToDevice, ...).
class SurfacePresenter {
 public:
  virtual ~SurfacePresenter() = default;
  // `area` lies within the surface and is never empty.
  virtual void Present(const SurfaceView& surface, const PixelRect& area) = 0;
};

}  // namespace vantrel
