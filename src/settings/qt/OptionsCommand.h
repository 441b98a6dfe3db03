#pragma once

#include "controls/qt/DialogPlacement.h"
#include "settings/BarSettings.h"
#include "traffic/InterfaceTable.h"

namespace vantrel {

class ColorPicker;

// Runs the Options dialog modally on `copy`, centred over the bar and inside
// the work area of the bar's screen. True when the user leaves it with OK;
// after Cancel (the button, Escape or the close box) `copy` is to be thrown
// away. The bar goes on ticking meanwhile. The bar's "Options..." command
// runs it on a private copy of its settings and hands the copy to
// ApplyOptions on OK.
bool RunOptionsDialog(const OwnerWindow& bar, BarSettings& copy, InterfaceTableSource& adapters,
                      ColorPicker& picker);

}  // namespace vantrel
