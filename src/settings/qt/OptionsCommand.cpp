#include "settings/qt/OptionsCommand.h"

#include "settings/qt/COptions.h"

namespace vantrel {

bool RunOptionsDialog(const OwnerWindow& bar, BarSettings& copy, InterfaceTableSource& adapters,
                      ColorPicker& picker) {
  COptions dialog(copy, adapters, picker, bar.widget);
  PlaceOverOwner(dialog, bar);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace vantrel
