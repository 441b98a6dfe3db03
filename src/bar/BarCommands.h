#pragma once

#include <array>

namespace vantrel {

// Commands of the bar window.
inline constexpr int ID_BAR_OK = 1;      // Enter
inline constexpr int ID_BAR_CANCEL = 2;  // Esc, the window's close request
inline constexpr int ID_MENU_ABOUT = 32771;
inline constexpr int ID_MENU_CLOSE = 32772;
inline constexpr int ID_MENU_OPTIONS = 32773;
inline constexpr int ID_MENU_MANUAL = 32774;

// The timer that drives the bar, and its period.
inline constexpr int kSampleTimerId = 4;
inline constexpr int kSampleTimerMilliseconds = 200;

// One item of the bar's context menu; a command of 0 is a separator.
struct MenuItem {
  int command;
  const char* text;  // the text after a tab is shown as the item's shortcut
};

// The context menu, top to bottom.
inline constexpr std::array<MenuItem, 5> kBarMenu{{
    {ID_MENU_OPTIONS, "Options..."},
    {ID_MENU_MANUAL, "Manual..."},
    {ID_MENU_CLOSE, "Close\tAlt-F4"},
    {0, ""},
    {ID_MENU_ABOUT, "About..."},
}};

// The About entry of a window's system menu, where the desktop gives the bar
// one (X11 dock windows have none).
inline constexpr const char* kSysMenuAboutText = "&About Flowkeeper...";

// The manual's file name, looked for beside the executable and in the
// installed documentation folder.
inline constexpr const char* kManualFileName = "vantrel.html";

}  // namespace vantrel
