#include "bar/wayland/LayerGeometry.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

PixelSize LogicalOutputSize(PixelSize mode, int transform, int scale) {
  const int s = std::max(scale, 1);
  const bool quarterTurn = (transform & 1) != 0;
  const int width = quarterTurn ? mode.height : mode.width;
  const int height = quarterTurn ? mode.width : mode.height;
  return {width / s, height / s};
}

PixelSize CanvasSizeFor(PixelSize surface, int scale) {
  const int s = std::max(scale, 1);
  return {surface.width * s + 1, surface.height * s + 1};
}

PixelSize ShownPartOf(PixelSize canvas) {
  return {std::max(canvas.width - 1, 1), std::max(canvas.height - 1, 1)};
}

std::size_t ChooseOutput(std::span<const OutputPlace> outputs) {
  const auto origin =
      std::find_if(outputs.begin(), outputs.end(), [](const OutputPlace& o) { return o.x == 0 && o.y == 0; });
  return origin == outputs.end() ? 0 : static_cast<std::size_t>(origin - outputs.begin());
}

ScreenPoint ScreenPointOn(const BarRect& strip, double localX, double localY) {
  return {strip.left + static_cast<int>(std::floor(localX)),
          strip.top + static_cast<int>(std::floor(localY))};
}

}  // namespace vantrel
