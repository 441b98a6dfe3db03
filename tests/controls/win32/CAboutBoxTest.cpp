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

}  // namespace
}  // namespace vantrel
