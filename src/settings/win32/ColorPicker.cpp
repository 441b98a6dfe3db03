#include "settings/win32/ColorPicker.h"

#include <commdlg.h>

namespace vantrel {

std::optional<Color> ChooseColorPicker::PickColor(HWND owner, Color initial) {
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof(choose);
  choose.hwndOwner = owner;
  // Both hold 0x00BBGGRR.
  choose.rgbResult = static_cast<COLORREF>(initial & 0x00FFFFFF);
  choose.lpCustColors = custom_.data();
  choose.Flags = CC_RGBINIT;
  if (!ChooseColorW(&choose)) return std::nullopt;
  return static_cast<Color>(choose.rgbResult & 0x00FFFFFF);
}

ColorPicker& PlatformColorPicker() {
  static ChooseColorPicker picker;
  return picker;
}

}  // namespace vantrel
