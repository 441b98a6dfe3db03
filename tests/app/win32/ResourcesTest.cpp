// The program's resources as Windows loads them: the menu that matches the
// bar's own, the icon's three sizes, the version block and what the manifest
// asks of Windows.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bar/BarCommands.h"
#include "bar/win32/ResourceIds.h"

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

TEST(ResourcesTest, IconHasItsThreeSizes) {
  const HMODULE module = GetModuleHandleW(nullptr);
  HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDI_APP_ICON), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  // GRPICONDIR: reserved, type, count, then 14-byte entries led by width
  // and height.
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
  ASSERT_NE(data, nullptr);
  const int count = data[4] | data[5] << 8;
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) {
    const BYTE* entry = data + 6 + 14 * i;
    EXPECT_EQ(entry[0], entry[1]) << "square";
    sizes.push_back(entry[0]);
  }
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
}

TEST(ResourcesTest, VersionBlockCarriesTheProjectVersion) {
  wchar_t path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  const DWORD size = GetFileVersionInfoSizeW(path, nullptr);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
  const auto value = [&](const wchar_t* name) {
    void* text = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904e4\\") + name;
    if (!VerQueryValueW(block.data(), key.c_str(), &text, &length) || length == 0) return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(text));
  };
  const std::string version = VANTREL_VERSION;
  EXPECT_EQ(value(L"ProductVersion"), std::wstring(version.begin(), version.end()));
  EXPECT_EQ(value(L"ProductName"), L"VantRel");
  EXPECT_EQ(value(L"CompanyName"), L"Brindle Labs");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  const std::string parts = std::to_string(HIWORD(fixed->dwProductVersionMS)) + "." +
                            std::to_string(LOWORD(fixed->dwProductVersionMS)) + "." +
                            std::to_string(HIWORD(fixed->dwProductVersionLS));
  EXPECT_EQ(parts, version);
}

// The manifest makes the process aware of each monitor's resolution.
TEST(ResourcesTest, ManifestMakesTheProcessPerMonitorDpiAware) {
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
            DPI_AWARENESS_PER_MONITOR_AWARE);
}

}  // namespace
}  // namespace vantrel
