#include "controls/win32/DialogPlacement.h"

#include "controls/WindowPlacement.h"

namespace vantrel {
namespace {

ScreenRect ToScreenRect(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace

void PlaceOverOwner(HWND dialog, HWND owner) {
  const HMONITOR monitor = owner != nullptr ? MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                                            : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  RECT frame{};
  if (!GetMonitorInfoW(monitor, &info) || !GetWindowRect(dialog, &frame)) return;
  RECT ownerFrame = info.rcWork;
  if (owner != nullptr) GetWindowRect(owner, &ownerFrame);
  const ScreenPoint corner = CentredInside(frame.right - frame.left, frame.bottom - frame.top,
                                           ToScreenRect(ownerFrame), ToScreenRect(info.rcWork));
  SetWindowPos(dialog, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vantrel
