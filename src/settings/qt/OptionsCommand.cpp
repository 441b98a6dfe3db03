#include "settings/qt/OptionsCommand.h"

#include "controls/qt/DialogPlacement.h"
#include "settings/qt/COptions.h"

namespace vantrel {

bool RunOptionsDialog(QWidget* bar, BarSettings& copy, InterfaceTableSource& adapters, ColorPicker& picker) {
  COptions dialog(copy, adapters, picker, bar);
  PlaceOverOwner(dialog, bar);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace vantrel
