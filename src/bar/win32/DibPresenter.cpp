#include "bar/win32/DibPresenter.h"

namespace vantrel {

void PresentSurface(HDC dc, const SurfaceView& surface, const PixelRect& area) {
  const int width = area.right - area.left;
  const int rows = area.bottom - area.top;
  // The band of rows from area.top on, as a DIB of its own: the source
  // rectangle then starts at its first row, whichever way DIB rows run.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = surface.stride;
  info.bmiHeader.biHeight = -rows;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, area.left, area.top, static_cast<DWORD>(width), static_cast<DWORD>(rows), area.left,
                    0, 0, static_cast<UINT>(rows), surface.Row(area.top), &info, DIB_RGB_COLORS);
}

}  // namespace vantrel
