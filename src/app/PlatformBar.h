#pragma once

#include "bar/BarController.h"

namespace vantrel {

// The services the bar runs on that do not depend on the display system.
struct BarStartup {
  InterfaceTableSource& interfaces;
  MonotonicClock& clock;
  SettingsStore& store;
  RunAtStartup& runAtStartup;
  ManualPlaces manual;
};

// Opens the display, makes the bar's window, its canvas, menu and dialogs,
// and runs the bar until it closes. `running` is set to the bar's controller
// while it runs. Returns the process's exit code: 0 after a close, non-zero
// when there is no display to run on or the display went away. Each
// platform's adapter defines it.
int RunPlatformBar(const BarStartup& startup, BarController*& running);

// Where the manual may be on this platform.
ManualPlaces PlatformManualPlaces();

}  // namespace vantrel
