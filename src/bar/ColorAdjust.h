#pragma once

#include "settings/BarSettings.h"

namespace vantrel {

// `color` with `amount` added to each of its red, green and blue channels,
// each clamped to 0..255. The top byte of the result is 0.
Color AdjustColor(Color color, int amount);

}  // namespace vantrel
