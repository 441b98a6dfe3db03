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

// Resources linked from a static library never reach the program through a
// symbol: the program itself must carry every one its windows load.
TEST(ResourcesTest, TheProgramCarriesEveryResourceItsWindowsLoad) {
  const std::string path = std::string("Z:") + VANTREL_PROGRAM;
  HMODULE program =
      LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr) << path;
  struct Wanted {
    int id;
    LPCWSTR type;
  };
  for (const Wanted& wanted :
       {Wanted{IDD_ABOUT, RT_DIALOG}, Wanted{IDD_TRAFFICBAR_DIALOG, RT_DIALOG},
        Wanted{IDD_OPTIONS, RT_DIALOG}, Wanted{IDR_BAR_MENU, RT_MENU}, Wanted{IDI_APP_ICON, RT_GROUP_ICON},
        Wanted{IDR_LINK_CURSOR, RT_GROUP_CURSOR}, Wanted{1, RT_VERSION}, Wanted{1, RT_MANIFEST}}) {
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(wanted.id), wanted.type), nullptr) << wanted.id;
  }
  // String 101 lives in string block 101 / 16 + 1.
  EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(IDS_SYSMENU_ABOUT / 16 + 1), RT_STRING), nullptr);
  FreeLibrary(program);
}

}  // namespace
}  // namespace vantrel
