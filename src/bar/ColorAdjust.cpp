#include "bar/ColorAdjust.h"

#include <algorithm>

namespace vantrel {
namespace {

int AdjustChannel(int channel, int amount) {
  // In 64 bits, so that no amount can overflow before the clamp.
  const long long sum = static_cast<long long>(channel) + amount;
  return static_cast<int>(std::clamp(sum, 0LL, 255LL));
}

}  // namespace

Color AdjustColor(Color color, int amount) {
  return MakeColor(AdjustChannel(RedOf(color), amount), AdjustChannel(GreenOf(color), amount),
                   AdjustChannel(BlueOf(color), amount));
}

}  // namespace vantrel
