#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

// A surface of 32-bit pixels to draw lines on: `height` rows of `width`
// pixels, `stride` pixels from one row to the next.
struct PixelRows {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
};

// The bar's solid one-pixel line in `pixel`, as BarCanvas::DrawLine: from
// (x1, y1) up to, but not including, (x2, y2); horizontal or vertical only,
// cut to the surface. Spans are written straight into the rows.
void DrawPixelLine(const PixelRows& rows, int x1, int y1, int x2, int y2, std::uint32_t pixel);

}  // namespace vantrel
