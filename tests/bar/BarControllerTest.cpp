#include "bar/BarController.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bar/RecordingCanvas.h"
#include "support/FakeBarHost.h"
#include "support/FakeClock.h"
#include "support/FakeRunAtStartup.h"
#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace vantrel::testing;

class BarControllerTest : public ::testing::Test {
 protected:
  BarControllerTest() {
    source.Add("lo", kIfTypeLoopback);
    source.Add("eth0", kIfTypeEthernet);
    store.values.WriteInt("", "Run at startup", 1);  // not a first start
    runAtStartup.registered = true;
  }

  BarController& Start(ManualPlaces manual = {}) {
    bar.emplace(
        BarServices{source, clock, store, runAtStartup, window, dialogs, canvas, appBar, std::move(manual)});
    bar->OnInitDialog();
    return *bar;
  }

  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      clock.AdvanceSeconds(0.2);
      bar->OnTimer(kSampleTimerId);
    }
  }

  Journal journal;
  ScriptedInterfaceTable source;
  FakeClock clock;
  JournalledStore store{journal};
  FakeRunAtStartup runAtStartup;
  FakeBarWindow window{journal};
  FakeBarDialogs dialogs{journal};
  FakeAppBar appBar{journal};
  RecordingCanvas canvas;
  std::optional<BarController> bar;
};

TEST_F(BarControllerTest, StartLoadsSettingsDocksThenStartsTheTimer) {
  store.values.WriteInt("GUI", "Position", 0);
  store.values.WriteInt("GUI", "BG Color", 0x123456);
  BarController& b = Start();
  EXPECT_THAT(journal,
              ElementsAre("New", "SetAutoHideBar", "QueryPos(Top)", "SetPos", "Place", "StartTimer(200)"));
  EXPECT_TRUE(b.IsRunning());
  EXPECT_EQ(b.Settings().bgColor, 0x123456u);
  // The window's height before docking is the thickness; docked, the window
  // is one pixel wider and taller than its strip.
  EXPECT_EQ(b.Docking().Thickness(), 33);
  EXPECT_EQ(window.rect, (BarRect{0, 0, 1025, 34}));
  // No tick yet: no surface, no baselines.
  EXPECT_FALSE(canvas.HasSurface());
  EXPECT_EQ(b.Monitor().History().lastTickIn, -1);
}

// Every way of closing stops the timer, saves, releases the strip, in that
// order, and ends the run with its own result; later commands do nothing.
TEST_F(BarControllerTest, EveryClosePathShutsDownOnceInOrder) {
  struct Case {
    int command;
    int result;
  };
  for (const Case& c :
       {Case{ID_BAR_OK, ID_BAR_OK}, Case{ID_BAR_CANCEL, ID_BAR_CANCEL}, Case{ID_MENU_CLOSE, ID_BAR_CANCEL}}) {
    SCOPED_TRACE(c.command);
    journal.clear();
    BarController& b = Start();
    Ticks(1);
    journal.clear();
    b.SaveOnUnexpectedExit();  // a running bar saves
    EXPECT_THAT(journal, ElementsAre("Sync"));
    journal.clear();
    b.OnCommand(c.command);
    EXPECT_THAT(journal, ElementsAre("StopTimer", "Sync", "Remove", "Hide",
                                     "EndRun(" + std::to_string(c.result) + ")"));
    EXPECT_EQ(store.values.ReadString("", "Connection", "?"), "eth0");
    EXPECT_FALSE(b.IsRunning());
    EXPECT_TRUE(b.HasEnded());
    EXPECT_EQ(b.Result(), c.result);
    EXPECT_FALSE(canvas.HasSurface());
    journal.clear();
    b.OnCommand(ID_BAR_CANCEL);
    b.OnTimer(kSampleTimerId);
    b.OnDisplayChange();
    b.OnNeighboursChanged();
    b.OnContextMenu({5, 5});
    b.SaveOnUnexpectedExit();
    EXPECT_THAT(journal, IsEmpty());
  }
}

// A failed save is no success: the process ends with 1 when its last save
// failed, whatever saves failed before it.
TEST_F(BarControllerTest, TheExitCodeTellsWhetherTheLastSaveFailed) {
  BarController& b = Start();
  EXPECT_EQ(b.ExitCode(7), 7) << "still running";
  store.syncFails = true;
  b.SaveOnUnexpectedExit();
  store.syncFails = false;
  b.OnCommand(ID_MENU_CLOSE);
  EXPECT_EQ(b.ExitCode(7), 0);

  Start();
  store.syncFails = true;
  bar->OnCommand(ID_MENU_CLOSE);
  EXPECT_EQ(bar->ExitCode(7), 1);
}

TEST_F(BarControllerTest, MenuAtThePointerThenTheChosenCommand) {
  BarController& b = Start();
  journal.clear();
  dialogs.menuChoice = ID_MENU_ABOUT;
  b.OnContextMenu({300, 740});
  EXPECT_THAT(journal, ElementsAre("Menu", "About"));
  EXPECT_EQ(std::pair(dialogs.menuAt.x, dialogs.menuAt.y), std::pair(300, 740));
  ASSERT_EQ(dialogs.menuItems.size(), kBarMenu.size());
  EXPECT_STREQ(dialogs.menuItems[0].text, "Options...");

  journal.clear();
  dialogs.menuChoice = 0;  // dismissed
  b.OnContextMenu({300, 740});
  EXPECT_THAT(journal, ElementsAre("Menu"));

  dialogs.menuChoice = ID_MENU_CLOSE;
  b.OnContextMenu({300, 740});
  EXPECT_TRUE(b.HasEnded());
}

// Cancelled Options change nothing; confirmed ones on another edge redock and save.
TEST_F(BarControllerTest, ConfirmedOptionsOnAnotherEdgeRedockAndSave) {
  BarController& b = Start();
  dialogs.editOptions = [](BarSettings& s) {
    s.position = 0;
    s.uploadColor = 0x00ABCDEF;
  };
  dialogs.confirmOptions = false;
  const BarSettings before = b.Settings();
  journal.clear();
  b.OnCommand(ID_MENU_OPTIONS);
  EXPECT_THAT(journal, ElementsAre("Options"));
  EXPECT_EQ(b.Settings(), before);
  EXPECT_FALSE(store.values.Contains("GUI", "Upload Color"));

  dialogs.confirmOptions = true;
  journal.clear();
  b.OnCommand(ID_MENU_OPTIONS);
  EXPECT_THAT(journal, ElementsAre("Options", "SetAutoHideBar", "QueryPos(Top)", "SetPos", "Place", "Sync",
                                   "Repaint"));
  EXPECT_EQ(b.Settings().uploadColor, 0x00ABCDEFu);
  EXPECT_EQ(store.values.ReadInt("GUI", "Upload Color", 0), 0x00ABCDEF);
  EXPECT_EQ(b.Docking().dockEdge, DockEdge::Top);
}

TEST_F(BarControllerTest, DisplayChangeRedocksWithoutRegisteringAndRebuildsTheSurface) {
  BarController& b = Start();
  Ticks(1);
  journal.clear();
  window.desktop = {0, 0, 1920, 1080};
  b.OnDisplayChange();
  EXPECT_THAT(journal, ElementsAre("SetAutoHideBar", "QueryPos(Bottom)", "SetPos", "Place"));
  EXPECT_EQ(window.rect, (BarRect{0, 1080 - 33, 1921, 1081}));
  const int creates = canvas.creates;
  Ticks(5);
  EXPECT_EQ(canvas.creates, creates + 1);
}

// A termination request closes the bar at once, or first closes the open
// menu or dialog as cancelled; the bar closes once, and nothing is applied,
// docked or shown after that.
TEST_F(BarControllerTest, TerminationWhileAMenuOrDialogIsOpenCancelsItThenClosesOnce) {
  struct Case {
    const char* name;
    std::function<void(BarController&)> open;
  };
  const std::vector<Case> cases{
      {"menu",
       [this](BarController& b) {
         dialogs.menuChoice = ID_MENU_OPTIONS;  // chosen as the signal came
         b.OnContextMenu({1, 1});
       }},
      {"options", [](BarController& b) { b.OnCommand(ID_MENU_OPTIONS); }},
      {"about", [](BarController& b) { b.OnCommand(ID_MENU_ABOUT); }},
      {"nothing", [](BarController& b) { b.OnTerminate(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BarController& b = Start();
    dialogs.editOptions = [](BarSettings& s) {
      s.position = 0;  // another edge, confirmed as the signal came
      s.bgColor = 0x00010203;
    };
    dialogs.whileOpen = [&b] {
      b.OnTerminate();
      b.OnTerminate();  // a second signal changes nothing
    };
    journal.clear();
    c.open(b);
    dialogs.whileOpen = nullptr;
    std::vector<std::string> expected{"StopTimer", "Sync", "Remove", "Hide", "EndRun(2)"};
    if (c.name != std::string("nothing")) expected.insert(expected.begin(), {journal.front(), "CancelAll"});
    EXPECT_EQ(journal, expected);
    EXPECT_TRUE(b.HasEnded());
    EXPECT_NE(b.Settings().bgColor, 0x00010203u);
    EXPECT_FALSE(store.values.Contains("GUI", "BG Color") &&
                 store.values.ReadInt("GUI", "BG Color", 0) == 0x00010203);
  }
}

TEST_F(BarControllerTest, ManualBesideTheExecutableElseTheInstalledOne) {
  const auto dir = std::filesystem::path(::testing::TempDir()) / "manual-places";
  std::filesystem::create_directories(dir);
  const std::string beside = (dir / "beside.html").string();
  const std::string installed = (dir / "installed.html").string();
  std::filesystem::remove(beside);
  std::filesystem::remove(installed);
  BarController& b = Start({beside, installed});
  EXPECT_EQ(b.ManualPath(), beside);  // neither there: the first place
  std::ofstream(installed) << "x";
  EXPECT_EQ(b.ManualPath(), installed);
  std::ofstream(beside) << "x";
  EXPECT_EQ(b.ManualPath(), beside);
  journal.clear();
  b.OnCommand(ID_MENU_MANUAL);
  EXPECT_THAT(journal, ElementsAre("Open " + beside));
}

}  // namespace
}  // namespace vantrel
