#include "settings/qt/ColorPicker.h"

#include <QColorDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace vantrel {

namespace {

// Qt keeps its colour dialog's 16 custom colours in the "QtProject" settings
// of the user's configuration folder, which every Qt program shares, and
// writes all of them back when a dialog closes after any of them was set.
// While the picker is open those settings are looked for in a folder of its
// own that goes away afterwards: the bar's custom colours are not stored,
// and the shared file stays as it was (or absent).
class SharedQtSettingsAside {
 public:
  SharedQtSettingsAside() {
    if (folder_.isValid()) QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
  }
  ~SharedQtSettingsAside() {
    // Back to Qt's own place for them.
    if (folder_.isValid()) {
      QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                         QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
  }
  SharedQtSettingsAside(const SharedQtSettingsAside&) = delete;
  SharedQtSettingsAside& operator=(const SharedQtSettingsAside&) = delete;

 private:
  QTemporaryDir folder_;
};

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
  // Set aside until the dialog is gone: it writes the custom colours as it
  // is destroyed.
  const SharedQtSettingsAside aside;
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
