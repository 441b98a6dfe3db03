#include "controls/WindowPlacement.h"

namespace vantrel {

ScreenPoint CentredInside(int width, int height, const ScreenRect& owner, const ScreenRect& workArea) {
  int x = owner.x + owner.width / 2 - width / 2;
  int y = owner.y + owner.height / 2 - height / 2;
  if (x + width > workArea.x + workArea.width) x = workArea.x + workArea.width - width;
  if (x < workArea.x) x = workArea.x;
  if (y + height > workArea.y + workArea.height) y = workArea.y + workArea.height - height;
  if (y < workArea.y) y = workArea.y;
  return {x, y};
}

}  // namespace vantrel
