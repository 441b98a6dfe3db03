// The bar's window on Windows with the real controller and fakes of the
// bar service, the dialogs and the store: which window messages become
// which of the bar's actions, the window's styles and where it docks.

#include "bar/win32/Win32BarHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "bar/win32/GdiGlyphSource.h"
#include "bar/win32/Win32BarDialogs.h"
#include "resource.h"
#include "support/FakeBarHost.h"
#include "support/FakeClock.h"
#include "support/FakeRunAtStartup.h"
#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

using testing::Journal;

class Win32BarHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = Win32BarHost::Create(GetModuleHandleW(nullptr));
    ASSERT_NE(host, nullptr);
    source.Add("eth0", kIfTypeEthernet);
    bar = std::make_unique<BarController>(BarServices{source, clock, store, runAtStartup, *host, dialogs,
                                                      canvas, appBar,
                                                      ManualPlaces{"C:\\bar\\vantrel.html", {}}});
    host->Attach(*bar, canvas);
    bar->OnInitDialog();
    journal.clear();
  }
  void TearDown() override {
    bar.reset();
    host.reset();
  }

  // Sends `message` to the bar's window.
  void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    SendMessageW(host->Window(), message, wParam, lParam);
  }

  Journal journal;
  testing::ScriptedInterfaceTable source;
  testing::FakeClock clock;
  testing::JournalledStore store{journal};
  testing::FakeRunAtStartup runAtStartup;
  testing::FakeBarDialogs dialogs{journal};
  testing::FakeAppBar appBar{journal};
  GdiGlyphSource glyphs;
  PixelBufferCanvas canvas{glyphs};
  std::unique_ptr<Win32BarHost> host;
  std::unique_ptr<BarController> bar;
};

TEST_F(Win32BarHostTest, IsATopmostPopUpToolWindowDockedAtTheBottomAsThickAsTwentyDialogUnits) {
  const HWND window = host->Window();
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowVisible(window));

  RECT units{0, 0, 450, 20};
  ASSERT_TRUE(MapDialogRect(window, &units));
  EXPECT_EQ(bar->Docking().Thickness(), units.bottom);
  // The fake bar service grants the proposed strip; the window is one
  // pixel wider and taller.
  const BarRect desk = host->DesktopRect();
  EXPECT_EQ(host->WindowRect(),
            (BarRect{desk.left, desk.bottom - units.bottom, desk.right + 1, desk.bottom + 1}));
  EXPECT_EQ(canvas.ClientSize(), (PixelSize{desk.Width() + 1, units.bottom + 1}));
}

TEST_F(Win32BarHostTest, OnlyTimerFourTicks) {
  for (int i = 0; i < 5; ++i) Send(WM_TIMER, kSampleTimerId + 1);
  EXPECT_FALSE(canvas.HasSurface());
  // The fifth tick is a sample tick: the first that draws the whole bar.
  for (int i = 0; i < 5; ++i) Send(WM_TIMER, kSampleTimerId);
  EXPECT_TRUE(canvas.HasSurface());
  EXPECT_EQ(source.reads, 5);
}

TEST_F(Win32BarHostTest, MessagesBecomeTheBarsCommands) {
  const UINT shellNotification = RegisterWindowMessageW(L"Vantrel callback");
  dialogs.confirmOptions = false;
  struct Case {
    UINT message;
    WPARAM wParam;
    const char* entry;  // what the bar does, "" for nothing
  };
  for (const Case& c : {Case{WM_SYSCOMMAND, ID_SYS_ABOUT, "About"}, Case{WM_SYSCOMMAND, 17, "About"},
                        Case{WM_SYSCOMMAND, 31, "About"}, Case{WM_COMMAND, ID_MENU_ABOUT, "About"},
                        Case{WM_COMMAND, ID_MENU_OPTIONS, "Options"},
                        Case{WM_COMMAND, ID_MENU_MANUAL, "Open C:\\bar\\vantrel.html"},
                        Case{WM_RBUTTONDOWN, MK_RBUTTON, "Menu"}, Case{WM_LBUTTONDOWN, MK_LBUTTON, ""},
                        Case{WM_LBUTTONDBLCLK, MK_LBUTTON, ""}, Case{WM_MBUTTONDOWN, MK_MBUTTON, ""},
                        Case{shellNotification, ABN_STATECHANGE, ""}, Case{WM_ENDSESSION, FALSE, ""}}) {
    journal.clear();
    Send(c.message, c.wParam);
    EXPECT_EQ(journal, std::string(c.entry).empty() ? Journal{} : Journal{c.entry})
        << c.message << " " << c.wParam;
    EXPECT_TRUE(bar->IsRunning());
  }
  // The menu opens at the pointer.
  POINT pointer{};
  GetCursorPos(&pointer);
  EXPECT_EQ(dialogs.menuAt.x, pointer.x);
  EXPECT_EQ(dialogs.menuAt.y, pointer.y);
}

TEST_F(Win32BarHostTest, DisplayChangesRedockWithoutRegisteringAgain) {
  Send(WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600));
  EXPECT_EQ(journal, (Journal{"SetAutoHideBar", "QueryPos(Bottom)", "SetPos"}));
}

// Another bar came, moved or went: the bar asks for its strip again and
// moves only where the strip differs.
TEST_F(Win32BarHostTest, ShellPositionNoticesFollowTheBarsBeside) {
  const UINT shellNotification = RegisterWindowMessageW(L"Vantrel callback");
  Send(shellNotification, ABN_POSCHANGED);
  EXPECT_EQ(journal, (Journal{"QueryPos(Bottom)", "EndQuery"}));
  journal.clear();
  appBar.takenBottom = 40;
  Send(shellNotification, ABN_POSCHANGED);
  EXPECT_EQ(journal, (Journal{"QueryPos(Bottom)", "SetPos"}));
  EXPECT_EQ(host->WindowRect().bottom, host->DesktopRect().bottom - 40 + 1);
}

// Every way to close ends the bar (settings saved, strip released, window
// hidden) and its message loop with the close's result; keys go through the
// message loop, as typed keys do.
TEST_F(Win32BarHostTest, EveryCloseEndsTheBarAndItsLoop) {
  struct Case {
    const char* how;
    void (*ask)(Win32BarHost& host);
    int result;
  };
  const Case cases[] = {
      {"WM_CLOSE", [](Win32BarHost& h) { PostMessageW(h.Window(), WM_CLOSE, 0, 0); }, ID_BAR_CANCEL},
      {"Close", [](Win32BarHost& h) { PostMessageW(h.Window(), WM_COMMAND, ID_MENU_CLOSE, 0); },
       ID_BAR_CANCEL},
      {"Enter", [](Win32BarHost& h) { PostMessageW(h.Window(), WM_KEYDOWN, VK_RETURN, 1); }, ID_BAR_OK},
      {"Esc", [](Win32BarHost& h) { PostMessageW(h.Window(), WM_KEYDOWN, VK_ESCAPE, 1); }, ID_BAR_CANCEL},
      {"session end", [](Win32BarHost& h) { PostMessageW(h.Window(), WM_ENDSESSION, TRUE, 0); },
       ID_BAR_CANCEL},
      {"termination", [](Win32BarHost& h) { h.RequestTermination(); }, ID_BAR_CANCEL},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    c.ask(*host);
    PostQuitMessage(99);  // ends the loop should the bar not
    EXPECT_EQ(host->Run(), c.result) << c.how;
    EXPECT_TRUE(bar->HasEnded()) << c.how;
    EXPECT_EQ(bar->Result(), c.result) << c.how;
    EXPECT_THAT(journal, ::testing::IsSupersetOf({"Remove", "Sync"})) << c.how;
    EXPECT_FALSE(IsWindowVisible(host->Window())) << c.how;
    MSG left;
    while (PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
}

// The bar whose dialogs a CancelAll from a timer closes, for the dialogs'
// tests: the timer fires inside the menu's or the dialog's modal loop.
Win32BarDialogs* g_cancelling = nullptr;

void CALLBACK CancelFromTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_cancelling->CancelAll();
}

TEST_F(Win32BarHostTest, MenuReturnsTheChosenCommandAndCancelAllClosesMenusAndOwnedDialogs) {
  Win32BarDialogs real(host->Window(), source);
  // Keys already queued reach the menu's loop: the second item, then Enter.
  PostMessageW(host->Window(), WM_KEYDOWN, VK_DOWN, 1);
  PostMessageW(host->Window(), WM_KEYDOWN, VK_DOWN, 1);
  PostMessageW(host->Window(), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(real.TrackMenu({400, 300}, kBarMenu), kBarMenu[1].command);

  g_cancelling = &real;
  SetTimer(nullptr, 0, 100, &CancelFromTimer);
  EXPECT_EQ(real.TrackMenu({400, 300}, kBarMenu), 0) << "cancelled";
  // A message box owned by the bar ends as cancelled.
  SetTimer(nullptr, 0, 100, &CancelFromTimer);
  EXPECT_EQ(MessageBoxW(host->Window(), L"open", L"VantRel test", MB_OKCANCEL), IDCANCEL);
  g_cancelling = nullptr;
}

}  // namespace
}  // namespace vantrel
