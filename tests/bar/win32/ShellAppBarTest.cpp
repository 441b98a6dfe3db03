#include "bar/win32/ShellAppBar.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel {
namespace {

// Stands in for SHAppBarMessage: records each message and moves every
// queried or set rectangle 30 pixels down, as a shell with a panel along
// the top would.
std::vector<std::pair<DWORD, APPBARDATA>> sent;

UINT_PTR WINAPI RecordMessage(DWORD message, PAPPBARDATA data) {
  sent.emplace_back(message, *data);
  if (message == ABM_QUERYPOS || message == ABM_SETPOS) {
    data->rc.top += 30;
    data->rc.bottom += 30;
  }
  return TRUE;
}

class ShellAppBarTest : public ::testing::Test {
 protected:
  void SetUp() override { sent.clear(); }

  // The one message the last call sent; the record is of its full size and
  // names the bar's window.
  APPBARDATA Sent(DWORD message) {
    EXPECT_EQ(sent.size(), 1u);
    if (sent.empty()) return {};
    const auto [sentMessage, data] = sent.back();
    sent.clear();
    EXPECT_EQ(sentMessage, message);
    EXPECT_EQ(data.cbSize, sizeof(APPBARDATA));
    EXPECT_EQ(data.hWnd, window_);
    return data;
  }

  const HWND window_ = reinterpret_cast<HWND>(0x1234);
  ShellAppBar bar_{window_, &RecordMessage};
};

TEST_F(ShellAppBarTest, RegistersWithTheCallbackMessageAndRemovesByWindowOnly) {
  const UINT callback = RegisterWindowMessageW(L"Vantrel callback");
  EXPECT_GE(callback, 0xC000u) << "a registered message";
  EXPECT_EQ(bar_.CallbackMessage(), callback);

  bar_.New();
  EXPECT_EQ(Sent(ABM_NEW).uCallbackMessage, callback);

  bar_.Remove();
  const APPBARDATA removed = Sent(ABM_REMOVE);
  EXPECT_EQ(removed.uCallbackMessage, 0u);
  EXPECT_EQ(removed.uEdge, 0u);
  EXPECT_EQ(removed.lParam, 0);
}

TEST_F(ShellAppBarTest, AutoHideNamesTheShellEdge) {
  const struct {
    DockEdge edge;
    bool autoHide;
    UINT shellEdge;
  } cases[] = {{DockEdge::Top, false, ABE_TOP},
               {DockEdge::Bottom, false, ABE_BOTTOM},
               {DockEdge::None, true, ABE_BOTTOM}};
  for (const auto& c : cases) {
    bar_.SetAutoHideBar(c.edge, c.autoHide);
    const APPBARDATA data = Sent(ABM_SETAUTOHIDEBAR);
    EXPECT_EQ(data.uEdge, c.shellEdge);
    EXPECT_EQ(data.lParam, c.autoHide ? TRUE : FALSE);
  }
}

TEST_F(ShellAppBarTest, QueryAndSetTakeOverTheRectangleTheShellLeaves) {
  for (const DWORD message : {DWORD{ABM_QUERYPOS}, DWORD{ABM_SETPOS}}) {
    BarRect rc{0, 0, 1024, 32};
    if (message == ABM_QUERYPOS) {
      bar_.QueryPos(DockEdge::Top, rc);
    } else {
      bar_.SetPos(DockEdge::Top, rc);
    }
    const APPBARDATA data = Sent(message);
    EXPECT_EQ(data.uEdge, UINT{ABE_TOP});
    EXPECT_EQ(data.rc.right, 1024);
    EXPECT_EQ(data.rc.bottom, 32) << "the proposed rectangle";
    EXPECT_EQ(rc, (BarRect{0, 30, 1024, 62}));
  }
}

}  // namespace
}  // namespace vantrel
