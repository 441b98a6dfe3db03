#pragma once

#include <array>

#include "bar/BarMenuItems.h"

namespace vantrel {

// Commands of the bar window.
inline constexpr int ID_BAR_OK = 1;      // Enter
inline constexpr int ID_BAR_CANCEL = 2;  // Esc, the window's close request
inline constexpr int ID_MENU_ABOUT = VANTREL_ID_MENU_ABOUT;
inline constexpr int ID_MENU_CLOSE = VANTREL_ID_MENU_CLOSE;
inline constexpr int ID_MENU_OPTIONS = VANTREL_ID_MENU_OPTIONS;
inline constexpr int ID_MENU_MANUAL = VANTREL_ID_MENU_MANUAL;

// The timer that drives the bar, and its period.
inline constexpr int kSampleTimerId = 4;
inline constexpr int kSampleTimerMilliseconds = 200;

// One item of the bar's context menu; a command of 0 is a separator.
struct MenuItem {
  int command;
  const char* text;  // the text after a tab is shown as the item's shortcut
};

// The context menu, top to bottom (the list in BarMenuItems.h).
#define VANTREL_MENU_ITEM(command, text) MenuItem{command, text},
#define VANTREL_MENU_SEPARATOR MenuItem{0, ""},
inline constexpr std::array kBarMenu{VANTREL_BAR_MENU(VANTREL_MENU_ITEM, VANTREL_MENU_SEPARATOR)};
#undef VANTREL_MENU_ITEM
#undef VANTREL_MENU_SEPARATOR

// The About entry of a window's system menu, where the desktop gives the bar
// one (X11 dock windows have none).
inline constexpr const char* kSysMenuAboutText = VANTREL_SYS_MENU_ABOUT_TEXT;

// The manual's file name, looked for beside the executable and in the
// installed documentation folder.
inline constexpr const char* kManualFileName = "vantrel.html";

}  // namespace vantrel
