#include "controls/win32/CAboutBox.h"

#include <gtest/gtest.h>

#include <vector>

#include "controls/win32/DialogDriver.h"
#include "resource.h"

namespace vantrel {
namespace {

using testing::LookOf;
using testing::TextOf;

std::vector<std::wstring> opened;
void RecordOpen(const std::wstring& target) {
  opened.push_back(target);
}

TEST(CAboutBox, ShowsTheTemplateAndALinkThatOpensItsText) {
  opened.clear();
  CAboutBox box(&RecordOpen);
  testing::WhenDialogOpens(L"About VantRel", [](HWND dialog) {
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_VERSION_LABEL)), L"VantRel Version 1.00");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDOK)), L"OK");
    const HWND link = GetDlgItem(dialog, IDC_WEB_LINK);
    EXPECT_EQ(TextOf(link), L"https://vantrel.example.org/");

    const testing::LabelLook version = LookOf(dialog, IDC_VERSION_LABEL);
    EXPECT_EQ(version.weight, FW_BOLD);
    EXPECT_FALSE(version.underline);
    const testing::LabelLook web = LookOf(dialog, IDC_WEB_LINK);
    EXPECT_EQ(web.text, RGB(0, 0, 255));
    EXPECT_EQ(web.weight, FW_NORMAL);
    EXPECT_TRUE(web.underline);
    EXPECT_TRUE(web.transparent);
    EXPECT_EQ(web.fill, GetSysColor(COLOR_BTNFACE));

    // Link mode adds what the template leaves out: clicks reach the label.
    EXPECT_TRUE(GetWindowLongPtrW(link, GWL_STYLE) & SS_NOTIFY);
    EXPECT_FALSE(GetWindowLongPtrW(GetDlgItem(dialog, IDC_VERSION_LABEL), GWL_STYLE) & SS_NOTIFY);
    SendMessageW(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LINK_CURSOR)));
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    testing::Press(dialog, IDCANCEL);
  });
  EXPECT_EQ(box.DoModal(nullptr), IDCANCEL);
  EXPECT_EQ(opened, std::vector<std::wstring>{L"https://vantrel.example.org/"});
}

// The program's icon at the three sizes, and its version block.
TEST(AppResources, IconHasThreeSizesAndTheVersionIsTheProjects) {
  const HMODULE self = GetModuleHandleW(nullptr);
  const HRSRC group = FindResourceW(self, MAKEINTRESOURCEW(IDI_APP_ICON), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(self, group)));
  // GRPICONDIR: three WORDs, then 14-byte entries that start with width and height.
  const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
  std::vector<int> sizes;
  for (WORD i = 0; i < count; ++i) sizes.push_back(directory[6 + 14 * i]);
  EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));

  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::vector<BYTE> block(GetFileVersionInfoSizeW(path, nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));
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
