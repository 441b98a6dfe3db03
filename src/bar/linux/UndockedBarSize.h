#pragma once

#include <optional>

#include "bar/BarCanvas.h"

namespace vantrel {

// The bar window's size before its first docking: 450 x 20 dialog units of
// the dialog font, 8-point "MS Shell Dlg" as fontconfig resolves it, at the
// screen's vertical resolution `dpi`. The height is the bar's thickness
// (33 pixels at 96 dpi with a 13-pixel character height). Nothing when no
// font can be found.
std::optional<PixelSize> UndockedBarSize(int dpi);

// The size before docking where no dialog font can be found.
inline constexpr PixelSize kFallbackUndockedSize{675, 33};

}  // namespace vantrel
