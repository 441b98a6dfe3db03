#pragma once

#include <optional>

#include <QColor>

#include "settings/BarSettings.h"

class QWidget;

namespace vantrel {

inline QColor ToQColor(Color color) {
  return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}
inline Color FromQColor(const QColor& color) {
  return MakeColor(color.red(), color.green(), color.blue());
}

// A modal colour picker.
class ColorPicker {
 public:
  virtual ~ColorPicker() = default;

  // Lets the user choose a colour, starting from `initial`, in a dialog owned
  // by `parent`. Empty when the user cancels.
  virtual std::optional<Color> PickColor(QWidget* parent, Color initial) = 0;
};

// The desktop's colour picker (Qt's colour dialog in its basic form, without
// an alpha channel). Its 16 custom colours are shared by every opening while
// the program runs; they start white, are not carried over from earlier runs
// and are never written to the configuration that Qt programs share.
class QtColorPicker final : public ColorPicker {
 public:
  std::optional<Color> PickColor(QWidget* parent, Color initial) override;
};

// The picker the program uses.
ColorPicker& PlatformColorPicker();

}  // namespace vantrel
