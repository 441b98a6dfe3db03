#include "bar/qt/CTrafficBarDlg.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bar/BarCommands.h"
#include "settings/null/MemorySettingsStore.h"
#include "support/FakeClock.h"
#include "support/QtWait.h"
#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

using ::testing::ElementsAre;

class FakeAppBar final : public AppBarService {
 public:
  explicit FakeAppBar(std::vector<std::string>& calls) : calls_(calls) {}
  void New() override { calls_.push_back("New"); }
  void SetAutoHideBar(DockEdge, bool) override { calls_.push_back("SetAutoHideBar"); }
  void QueryPos(DockEdge edge, BarRect&) override {
    calls_.push_back(edge == DockEdge::Top ? "QueryPos(Top)" : "QueryPos(Bottom)");
  }
  void SetPos(DockEdge, BarRect&) override { calls_.push_back("SetPos"); }
  void Remove() override { calls_.push_back("Remove"); }

 private:
  std::vector<std::string>& calls_;
};

class FakeRunAtStartup final : public RunAtStartup {
 public:
  bool RegisterRunAtStartup() override { return registered = true; }
  bool UnregisterRunAtStartup() override {
    const bool was = registered;
    registered = false;
    return was;
  }
  bool IsRunAtStartupRegistered() override { return registered; }
  bool registered = true;
};

class FakeDialogs final : public BarDialogs {
 public:
  bool RunOptions(QWidget*, BarSettings& settings) override {
    ++optionsRuns;
    if (edit) edit(settings);
    return confirm;
  }
  void RunAbout(QWidget*) override {
    ++aboutRuns;
    popupOpenDuringAbout = QApplication::activePopupWidget() != nullptr;
  }

  std::function<void(BarSettings&)> edit;
  bool confirm = true;
  int optionsRuns = 0;
  int aboutRuns = 0;
  bool popupOpenDuringAbout = false;
};

// Catches URLs the bar hands to the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

class CTrafficBarDlgTest : public ::testing::Test {
 protected:
  CTrafficBarDlgTest() {
    source.Add("lo", kIfTypeLoopback);
    eth = &source.Add("eth0", kIfTypeEthernet);
    store.WriteString("", "Run at startup", "");  // a stored value: no first-start registration
    store.WriteInt("", "Run at startup", 1);
  }

  BarServices Services() {
    return {source, clock, store, runAtStartup, dialogs,
            [this](QWidget&) { return std::make_unique<FakeAppBar>(appBarCalls); }};
  }

  // Runs the bar modally; `whileRunning` runs inside its loop and must end it.
  int RunBar(CTrafficBarDlg& bar, std::function<void()> whileRunning) {
    QTimer::singleShot(0, &bar, [&bar, whileRunning] {
      whileRunning();
      if (bar.IsRunning()) bar.OnCommand(IDCANCEL);  // a failing test still ends the loop
    });
    return bar.DoModal();
  }

  void Ticks(CTrafficBarDlg& bar, int n) {
    for (int i = 0; i < n; ++i) {
      clock.AdvanceSeconds(0.2);
      bar.OnTimer(kSampleTimerId);
    }
  }

  testing::ScriptedInterfaceTable source;
  InterfaceRow* eth = nullptr;
  testing::FakeClock clock;
  MemorySettingsStore store;
  FakeRunAtStartup runAtStartup;
  FakeDialogs dialogs;
  std::vector<std::string> appBarCalls;
};

TEST_F(CTrafficBarDlgTest, InitialisationLoadsSettingsDocksAndStartsSampling) {
  store.WriteInt("GUI", "Position", 0);
  store.WriteInt("GUI", "BG Color", 0x123456);
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] {
    EXPECT_TRUE(bar.IsRunning());
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(bar.Settings().bgColor, 0x123456u);
    EXPECT_THAT(appBarCalls, ElementsAre("New", "SetAutoHideBar", "QueryPos(Top)", "SetPos"));
    ASSERT_NE(bar.Docking(), nullptr);
    EXPECT_EQ(bar.Docking()->dockEdge, DockEdge::Top);
    // The window is one pixel wider and taller than its strip.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(bar.geometry(), QRect(screen.left(), screen.top(), screen.width() + 1,
                                    bar.Docking()->Thickness() + 1));
    EXPECT_GT(bar.Docking()->Thickness(), 8);
    // No tick has run yet: no surface, no baselines.
    EXPECT_FALSE(bar.Canvas().HasSurface());
    EXPECT_EQ(bar.Monitor().History().lastTickIn, -1);
  });
}

TEST_F(CTrafficBarDlgTest, OnlyTheSampleTimerTicks) {
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] {
    bar.OnTimer(kSampleTimerId + 1);
    EXPECT_EQ(source.reads, 0);
    EXPECT_FALSE(bar.Canvas().HasSurface());
    Ticks(bar, 1);
    EXPECT_EQ(source.reads, 1);
    EXPECT_TRUE(bar.Canvas().HasSurface());
    EXPECT_EQ(bar.Settings().connection, "eth0");  // the automatic choice
  });
}

TEST_F(CTrafficBarDlgTest, TheTimerDrivesTicksOnItsOwn) {
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] {
    // Generous: only that ticks arrive without anyone calling OnTimer.
    EXPECT_TRUE(testing::WaitFor([this] { return source.reads >= 2; }, 5000));
  });
  const int readsAtClose = source.reads;
  QTest::qWait(500);
  EXPECT_EQ(source.reads, readsAtClose) << "the timer must stop at close";
}

TEST_F(CTrafficBarDlgTest, ContextMenuOffersTheCommandsInOrder) {
  CTrafficBarDlg bar(Services());
  QStringList texts;
  RunBar(bar, [&] {
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      for (QAction* action : menu->actions()) texts << (action->isSeparator() ? "-" : action->text());
      menu->close();
    });
    QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(50, 5));
  });
  EXPECT_EQ(texts, QStringList({"Options...", "Manual...", "Close\tAlt-F4", "-", "About..."}));
}

TEST_F(CTrafficBarDlgTest, MenuCommandRunsAfterTheMenuClosed) {
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] {
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      QTest::keyClick(menu, Qt::Key_Up);  // the last item, "About..."
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(50, 5));
  });
  EXPECT_EQ(dialogs.aboutRuns, 1);
  EXPECT_FALSE(dialogs.popupOpenDuringAbout);
}

TEST_F(CTrafficBarDlgTest, OtherClicksAndTheWheelChangeNothing) {
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] {
    const QRect before = bar.geometry();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseDClick(&bar, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseClick(&bar, Qt::MiddleButton, {}, QPoint(10, 5));
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseMove(&bar, QPoint(200, 20));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(200, 20));
    EXPECT_EQ(bar.geometry(), before);
    EXPECT_TRUE(bar.IsRunning());
    EXPECT_EQ(dialogs.optionsRuns + dialogs.aboutRuns, 0);
  });
}

// Every way of closing saves the settings and releases the strip.
class CloseTest : public CTrafficBarDlgTest,
                  public ::testing::WithParamInterface<std::pair<const char*, int>> {};

TEST_P(CloseTest, SavesSettingsAndReleasesTheStrip) {
  const auto [how, expectedResult] = GetParam();
  const std::string path(how);
  CTrafficBarDlg bar(Services());
  const int result = RunBar(bar, [&] {
    Ticks(bar, 1);  // the automatic choice fills "Connection" in memory
    appBarCalls.clear();
    if (path == "enter") QTest::keyClick(&bar, Qt::Key_Return);
    if (path == "escape") QTest::keyClick(&bar, Qt::Key_Escape);
    if (path == "window close") bar.close();
    if (path == "menu close") bar.OnCommand(ID_MENU_CLOSE);
    EXPECT_FALSE(bar.IsRunning());
  });
  EXPECT_EQ(result, expectedResult);
  EXPECT_THAT(appBarCalls, ElementsAre("Remove"));
  EXPECT_EQ(store.ReadString("", "Connection", "?"), "eth0");
  EXPECT_EQ(store.ReadInt("GUI", "Position", -1), 1);
  EXPECT_FALSE(bar.isVisible());
}

INSTANTIATE_TEST_SUITE_P(AllPaths, CloseTest,
                         ::testing::Values(std::pair{"enter", IDOK}, std::pair{"escape", IDCANCEL},
                                           std::pair{"window close", IDCANCEL},
                                           std::pair{"menu close", IDCANCEL}));

TEST_F(CTrafficBarDlgTest, OptionsOnAnotherEdgeRedocksAndSaves) {
  dialogs.edit = [](BarSettings& s) {
    s.position = 0;
    s.uploadColor = 0x00ABCDEF;
  };
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] {
    appBarCalls.clear();
    bar.OnCommand(ID_MENU_OPTIONS);
    EXPECT_THAT(appBarCalls, ElementsAre("SetAutoHideBar", "QueryPos(Top)", "SetPos"));
    EXPECT_EQ(bar.Settings().uploadColor, 0x00ABCDEFu);
    EXPECT_EQ(store.ReadInt("GUI", "Upload Color", 0), 0x00ABCDEF);
    EXPECT_EQ(bar.geometry().top(), QGuiApplication::primaryScreen()->geometry().top());
  });
}

TEST_F(CTrafficBarDlgTest, CancelledOptionsChangeNothing) {
  dialogs.edit = [](BarSettings& s) { s.bgColor = 0x00010203; };
  dialogs.confirm = false;
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] {
    const BarSettings before = bar.Settings();
    appBarCalls.clear();
    bar.OnCommand(ID_MENU_OPTIONS);
    EXPECT_EQ(dialogs.optionsRuns, 1);
    EXPECT_EQ(bar.Settings(), before);
    EXPECT_TRUE(appBarCalls.empty());
    EXPECT_FALSE(store.Contains("GUI", "BG Color"));
  });
}

TEST_F(CTrafficBarDlgTest, ManualOpensTheHtmlFileThroughTheDesktop) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("file", &catcher, "open");
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] { bar.OnCommand(ID_MENU_MANUAL); });
  QDesktopServices::unsetUrlHandler("file");
  ASSERT_EQ(catcher.urls.size(), 1u);
  EXPECT_TRUE(catcher.urls[0].isLocalFile());
  EXPECT_TRUE(catcher.urls[0].toLocalFile().endsWith("/vantrel.html"));
}

TEST_F(CTrafficBarDlgTest, DisplayChangeRedocksWithoutRegisteringAndRebuildsTheSurface) {
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] {
    Ticks(bar, 1);
    const QImage before = bar.Canvas().Surface();
    appBarCalls.clear();
    bar.OnDisplayChange();
    EXPECT_THAT(appBarCalls, ElementsAre("SetAutoHideBar", "QueryPos(Bottom)", "SetPos"));
    Ticks(bar, 5);
    EXPECT_TRUE(bar.Canvas().HasSurface());
    EXPECT_NE(bar.Canvas().Surface().cacheKey(), before.cacheKey());
  });
}

}  // namespace
}  // namespace vantrel

#include "CTrafficBarDlgTest.moc"
