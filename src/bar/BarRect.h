#pragma once

namespace vantrel {

// A rectangle in screen pixels; right and bottom lie just outside it.
struct BarRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const BarRect&) const = default;
};

}  // namespace vantrel
