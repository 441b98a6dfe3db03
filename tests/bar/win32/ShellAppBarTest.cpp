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

// Each call sends one message of its own, a full-size record naming the
// bar's window, with the fields that message needs.
TEST(ShellAppBarTest, EachCallSendsItsMessageWithWhatTheShellNeeds) {
  const HWND window = reinterpret_cast<HWND>(0x1234);
  ShellAppBar bar(window, &RecordMessage);
  const UINT callback = RegisterWindowMessageW(L"Vantrel callback");
  EXPECT_EQ(bar.CallbackMessage(), callback);

  BarRect top{0, 0, 1024, 32};
  BarRect bottom{0, 0, 1024, 32};
  bar.New();
  bar.SetAutoHideBar(DockEdge::Top, false);
  bar.SetAutoHideBar(DockEdge::None, true);
  bar.QueryPos(DockEdge::Top, top);
  bar.SetPos(DockEdge::Bottom, bottom);
  bar.Remove();
  struct Expected {
    DWORD message;
    UINT callback;
    UINT edge;
    LPARAM lParam;
  };
  const Expected expected[] = {{ABM_NEW, callback, 0, 0},
                               {ABM_SETAUTOHIDEBAR, 0, ABE_TOP, FALSE},
                               {ABM_SETAUTOHIDEBAR, 0, ABE_BOTTOM, TRUE},
                               {ABM_QUERYPOS, 0, ABE_TOP, 0},
                               {ABM_SETPOS, 0, ABE_BOTTOM, 0},
                               {ABM_REMOVE, 0, 0, 0}};
  ASSERT_EQ(sent.size(), std::size(expected));
  for (std::size_t i = 0; i < sent.size(); ++i) {
    const auto& [message, data] = sent[i];
    EXPECT_EQ(message, expected[i].message) << i;
    EXPECT_EQ(data.cbSize, sizeof(APPBARDATA)) << i;
    EXPECT_EQ(data.hWnd, window) << i;
    EXPECT_EQ(data.uCallbackMessage, expected[i].callback) << i;
    EXPECT_EQ(data.uEdge, expected[i].edge) << i;
    EXPECT_EQ(data.lParam, expected[i].lParam) << i;
  }
  // The proposed rectangle goes out; the shell's answer comes back.
  EXPECT_EQ(sent[3].second.rc.bottom, 32);
  EXPECT_EQ(top, (BarRect{0, 30, 1024, 62}));
  EXPECT_EQ(bottom, (BarRect{0, 30, 1024, 62}));
}

}  // namespace
}  // namespace vantrel
