#include "settings/qt/ColorPicker.h"

#include <QColorDialog>

namespace vantrel {

namespace {

// Qt would otherwise start from custom colours that another program left in
// its shared configuration.
void StartCustomColorsWhite() {
  static const bool started = [] {
    for (int i = 0; i < QColorDialog::customCount(); ++i) QColorDialog::setCustomColor(i, Qt::white);
    return true;
  }();
  (void)started;
}

}  // namespace

std::optional<Color> QtColorPicker::PickColor(QWidget* parent, Color initial) {
  StartCustomColorsWhite();
  QColorDialog dialog(ToQColor(initial), parent);
  // Qt's own dialog: a desktop's native one keeps custom colours of its own.
  dialog.setOption(QColorDialog::DontUseNativeDialog, true);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return FromQColor(dialog.selectedColor());
}

ColorPicker& PlatformColorPicker() {
  static QtColorPicker picker;
  return picker;
}

}  // namespace vantrel
