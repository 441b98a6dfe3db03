#include "bar/PixelLines.h"

#include <algorithm>

namespace vantrel {
namespace {

void HorizontalSpan(const PixelRows& rows, int y, long long from, long long to, std::uint32_t pixel) {
  if (y < 0 || y >= rows.height) return;
  from = std::max(from, 0LL);
  to = std::min(to, static_cast<long long>(rows.width));
  if (from >= to) return;
  std::uint32_t* at = rows.pixels + y * rows.stride + from;
  long long count = to - from;
  // In blocks of a fixed size, which the compiler turns into vector stores
  // even where it leaves a loop of unknown length alone.
  constexpr int kBlock = 16;
  for (; count >= kBlock; count -= kBlock, at += kBlock) {
    for (int i = 0; i < kBlock; ++i) at[i] = pixel;
  }
  for (; count > 0; --count) *at++ = pixel;
}

void VerticalSpan(const PixelRows& rows, int x, long long from, long long to, std::uint32_t pixel) {
  if (x < 0 || x >= rows.width) return;
  from = std::max(from, 0LL);
  to = std::min(to, static_cast<long long>(rows.height));
  std::uint32_t* at = rows.pixels + from * rows.stride + x;
  for (long long y = from; y < to; ++y, at += rows.stride) *at = pixel;
}

}  // namespace

void DrawPixelLine(const PixelRows& rows, int x1, int y1, int x2, int y2, std::uint32_t pixel) {
  if (rows.pixels == nullptr) return;
  if (y1 == y2) {
    if (x1 <= x2) {
      HorizontalSpan(rows, y1, x1, x2, pixel);
    } else {
      HorizontalSpan(rows, y1, static_cast<long long>(x2) + 1, static_cast<long long>(x1) + 1, pixel);
    }
  } else if (x1 == x2) {
    if (y1 <= y2) {
      VerticalSpan(rows, x1, y1, y2, pixel);
    } else {
      VerticalSpan(rows, x1, static_cast<long long>(y2) + 1, static_cast<long long>(y1) + 1, pixel);
    }
  }
}

}  // namespace vantrel
