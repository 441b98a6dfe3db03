#pragma once

namespace vantrel {

// A point and a rectangle in screen pixels, for placing dialogs on any platform.
struct ScreenPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ScreenPoint&) const = default;
};
struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The top left corner of a window `width` by `height` pixels, centred over
// `owner` and then moved, where needed, to lie wholly inside `workArea`. A
// window larger than the work area keeps its top left corner inside it.
ScreenPoint CentredInside(int width, int height, const ScreenRect& owner, const ScreenRect& workArea);

}  // namespace vantrel
