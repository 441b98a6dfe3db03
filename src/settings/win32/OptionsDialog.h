#pragma once

#include <windows.h>

#include "settings/BarSettings.h"
#include "traffic/InterfaceTable.h"

namespace vantrel {

// Runs the Options dialog modally on `copy`, centred over `owner` (the bar)
// and inside the work area of its monitor. True when the user leaves it
// with OK; after Cancel (the button, Escape or the close box) `copy` is to
// be thrown away. The bar's timer goes on meanwhile. The bar's "Options..."
// command runs it on a private copy of its settings and hands the copy to
// ApplyOptions on OK.
bool RunOptionsDialog(HWND owner, BarSettings& copy, InterfaceTableSource& adapters);

}  // namespace vantrel
