#pragma once

#include <string_view>

namespace vantrel {

// The bar's text font: "Arial" (on Linux usually its metric twin Liberation
// Sans) at 9 points for the screen's vertical resolution, weight 900.
inline constexpr std::string_view kBarFontFamily = "Arial";
inline constexpr int kBarFontWeight = 900;
inline constexpr int kBarFontPoints = 9;

// The resolution assumed when the host reports none, in dots per inch.
inline constexpr int kDefaultFontDpi = 96;

// The pixel size of the bar's font at `dpiY`: 9 points in pixels, rounded
// half away from zero, and at least 1.
inline constexpr int BarFontPixelSize(int dpiY) {
  const int size = (kBarFontPoints * dpiY + 36) / 72;
  return size < 1 ? 1 : size;
}

}  // namespace vantrel
