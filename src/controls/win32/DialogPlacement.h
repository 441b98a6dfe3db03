#pragma once

#include <windows.h>

namespace vantrel {

// Moves `dialog` centred over `owner` and, where needed, wholly inside the
// work area of the monitor that shows the owner (without an owner: of the
// primary monitor, centred in it).
void PlaceOverOwner(HWND dialog, HWND owner);

}  // namespace vantrel
