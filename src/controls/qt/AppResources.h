#pragma once

#include <QIcon>

namespace vantrel {

// Makes the resources built into the program (res/vantrel.qrc) reachable
// under ":/". Safe to call more than once.
void LoadAppResources();

// The application icon, drawn at 16, 32 and 48 pixels.
QIcon AppIcon();

}  // namespace vantrel
