#include "bar/qt/CTrafficBarDlg.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/FakeBarHost.h"
#include "support/FakeClock.h"
#include "support/QtWait.h"
#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

using ::testing::ElementsAre;
using namespace vantrel::testing;

// The Qt window of the bar: what Qt's events turn into. The behaviour
// behind them is tested on the controller.
class CTrafficBarDlgTest : public ::testing::Test {
 protected:
  CTrafficBarDlgTest() {
    source.Add("eth0", kIfTypeEthernet);
    store.values.WriteInt("", "Run at startup", 1);
  }

  QtBarServices Services() {
    return {source,  clock,
            store,   runAtStartup,
            dialogs, [this](QWidget&) { return std::make_unique<FakeAppBar>(journal); },
            {}};
  }

  // Runs the bar modally; `whileRunning` runs inside its loop.
  int RunBar(CTrafficBarDlg& bar, std::function<void()> whileRunning) {
    QTimer::singleShot(0, &bar, [&bar, whileRunning] {
      whileRunning();
      if (bar.Controller()->IsRunning()) bar.Controller()->OnCommand(ID_BAR_CANCEL);
    });
    return bar.DoModal();
  }

  int Count(const std::string& entry) const {
    return static_cast<int>(std::count(journal.begin(), journal.end(), entry));
  }

  Journal journal;
  ScriptedInterfaceTable source;
  FakeClock clock;
  JournalledStore store{journal};
  FakeRunAtStartup runAtStartup;
  FakeBarDialogs dialogs{journal};
};

TEST_F(CTrafficBarDlgTest, DocksOnePixelPastTheScreenAndTicksOnItsOwnUntilClosed) {
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(bar.geometry(),
              QRect(screen.left(), screen.bottom() + 1 - bar.Controller()->Docking().Thickness(),
                    screen.width() + 1, bar.Controller()->Docking().Thickness() + 1));
    EXPECT_GT(bar.Controller()->Docking().Thickness(), 8);
    // Generous: only that ticks arrive without anyone calling OnTimer.
    EXPECT_TRUE(WaitFor([this] { return source.reads >= 2; }, 5000));
  });
  const int readsAtClose = source.reads;
  QTest::qWait(500);
  EXPECT_EQ(source.reads, readsAtClose) << "the timer must stop at close";
  EXPECT_FALSE(bar.isVisible());
}

TEST_F(CTrafficBarDlgTest, EnterEscapeAndTheWindowsCloseRequestCloseTheBar) {
  struct Case {
    const char* how;
    int result;
  };
  for (const Case& c :
       {Case{"enter", ID_BAR_OK}, Case{"escape", ID_BAR_CANCEL}, Case{"close", ID_BAR_CANCEL}}) {
    SCOPED_TRACE(c.how);
    journal.clear();
    CTrafficBarDlg bar(Services());
    const std::string how = c.how;
    const int result = RunBar(bar, [&] {
      if (how == "enter") QTest::keyClick(&bar, Qt::Key_Return);
      if (how == "escape") QTest::keyClick(&bar, Qt::Key_Escape);
      if (how == "close") bar.close();
      EXPECT_TRUE(bar.Controller()->HasEnded());
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(Count("Remove"), 1);
  }
}

TEST_F(CTrafficBarDlgTest, OnlyTheRightButtonDoesAnything) {
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
    EXPECT_EQ(Count("Menu"), 0);
    QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(50, 5));
    EXPECT_EQ(Count("Menu"), 1);
  });
}

// One change of the screen layout re-docks once, however many changes came
// before it and whichever signal reports it: a new primary, a monitor added
// or removed, or any monitor's geometry.
TEST_F(CTrafficBarDlgTest, EachScreenLayoutChangeRedocksOnce) {
  CTrafficBarDlg bar(Services());
  RunBar(bar, [&] {
    QScreen* screen = QGuiApplication::primaryScreen();
    const std::vector<std::function<void()>> changes{
        [&] { emit qApp->primaryScreenChanged(screen); },
        [&] { emit qApp->primaryScreenChanged(screen); },
        [&] { emit qApp->primaryScreenChanged(screen); },
        [&] { emit qApp->screenAdded(screen); },
        [&] { emit qApp->screenRemoved(screen); },
        [&] { emit screen->geometryChanged(screen->geometry()); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
      SCOPED_TRACE(i);
      journal.clear();
      changes[i]();
      QTest::qWait(20);
      EXPECT_THAT(journal, ElementsAre("SetAutoHideBar", "QueryPos(Bottom)", "SetPos"));
    }
  });
}

}  // namespace
}  // namespace vantrel
