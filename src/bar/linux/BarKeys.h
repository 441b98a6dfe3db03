#pragma once

#include <cstdint>

#include "bar/BarCommands.h"

namespace vantrel {

// The bar's keys by their keysym (X11's and xkbcommon's numbering): Enter
// and the keypad's Enter are OK, Esc is Cancel. 0 for every other key.
constexpr int BarCommandForKeysym(std::uint32_t keysym) {
  constexpr std::uint32_t kReturn = 0xFF0D;
  constexpr std::uint32_t kKeypadEnter = 0xFF8D;
  constexpr std::uint32_t kEscape = 0xFF1B;
  if (keysym == kReturn || keysym == kKeypadEnter) return ID_BAR_OK;
  if (keysym == kEscape) return ID_BAR_CANCEL;
  return 0;
}

}  // namespace vantrel
