// The program's resources as Windows loads them, and what the manifest asks
// of Windows.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "resource.h"

namespace vantrel {
namespace {

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

  // Its version block carries the project's version.
  const std::wstring wide(path.begin(), path.end());
  std::vector<BYTE> block(GetFileVersionInfoSizeW(wide.c_str(), nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(wide.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(VANTREL_VERSION_MINOR, VANTREL_VERSION_MAJOR));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, VANTREL_VERSION_PATCH));
  wchar_t* product = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                             reinterpret_cast<void**>(&product), &size));
  EXPECT_STREQ(product, VANTREL_VERSION_TEXT);
}

}  // namespace
}  // namespace vantrel
