#include "app/QtBarDialogs.h"

#include "controls/qt/CAboutBox.h"
#include "settings/qt/ColorPicker.h"
#include "settings/qt/OptionsCommand.h"

namespace vantrel {

bool QtBarDialogs::RunOptions(QWidget* bar, BarSettings& settings) {
  return RunOptionsDialog(bar, settings, adapters_, PlatformColorPicker());
}

void QtBarDialogs::RunAbout(QWidget* bar) { ShowAboutBox(bar); }

}  // namespace vantrel
