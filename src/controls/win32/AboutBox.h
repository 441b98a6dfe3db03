#pragma once

#include <windows.h>

namespace vantrel {

// Shows the About box modally over `owner` (may be null) and returns when it
// is closed. The box changes nothing in the program.
void ShowAboutBox(HWND owner);

}  // namespace vantrel
