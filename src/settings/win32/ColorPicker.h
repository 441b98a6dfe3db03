#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "settings/BarSettings.h"

namespace vantrel {

// A modal colour picker.
class ColorPicker {
 public:
  virtual ~ColorPicker() = default;

  // Lets the user choose a colour, starting from `initial`, in a dialog owned
  // by `owner`. Empty when the user cancels.
  virtual std::optional<Color> PickColor(HWND owner, Color initial) = 0;
};

// The system's colour dialog (ChooseColor) in its basic form, the custom
// colours panel closed. Its 16 custom colours are shared by every opening
// while the program runs; they start white and are never stored.
class ChooseColorPicker final : public ColorPicker {
 public:
  std::optional<Color> PickColor(HWND owner, Color initial) override;

  const std::array<COLORREF, 16>& CustomColors() const { return custom_; }

 private:
  std::array<COLORREF, 16> custom_ = [] {
    std::array<COLORREF, 16> white{};
    white.fill(RGB(255, 255, 255));
    return white;
  }();
};

// The picker the program uses, one for the whole run.
ColorPicker& PlatformColorPicker();

}  // namespace vantrel
