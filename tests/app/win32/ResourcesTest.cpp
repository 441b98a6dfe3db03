// The program's resources as Windows loads them: the menu that matches the
// bar's own, and what the manifest asks of Windows.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bar/BarCommands.h"
#include "resource.h"

namespace vantrel {
namespace {

TEST(ResourcesTest, MenuHoldsTheBarsMenuItems) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_BAR_MENU));
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(kBarMenu.size()));
  for (std::size_t i = 0; i < kBarMenu.size(); ++i) {
    const UINT position = static_cast<UINT>(i);
    wchar_t text[64] = {};
    GetMenuStringW(popup, position, text, 64, MF_BYPOSITION);
    const std::string expected = kBarMenu[i].text;
    EXPECT_EQ(std::wstring(text), std::wstring(expected.begin(), expected.end())) << i;
    if (kBarMenu[i].command == 0) {
      EXPECT_TRUE(GetMenuState(popup, position, MF_BYPOSITION) & MF_SEPARATOR) << i;
    } else {
      EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)), static_cast<UINT>(kBarMenu[i].command)) << i;
    }
  }
  DestroyMenu(menu);
}

// The manifest makes the process aware of each monitor's resolution.
TEST(ResourcesTest, ManifestMakesTheProcessPerMonitorDpiAware) {
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
            DPI_AWARENESS_PER_MONITOR_AWARE);
}

}  // namespace
}  // namespace vantrel
