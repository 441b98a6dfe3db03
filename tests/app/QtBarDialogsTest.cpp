#include "app/qt/QtBarDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <vector>

#include <gtest/gtest.h>

#include "controls/qt/CAboutBox.h"
#include "settings/qt/ColorPicker.h"
#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

class QtBarDialogsTest : public ::testing::Test {
 protected:
  QtBarDialogsTest() { source.Add("eth0", kIfTypeEthernet); }
  testing::ScriptedInterfaceTable source;
  QtBarDialogs dialogs{source};
};

TEST_F(QtBarDialogsTest, TheMenuOpensLeftOfThePointerWithTheItemsInOrderAndReturnsTheChosenOne) {
  QStringList texts;
  QRect frame;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    frame = menu->geometry();
    for (QAction* action : menu->actions()) texts << (action->isSeparator() ? "-" : action->text());
    QTest::keyClick(menu, Qt::Key_Up);  // the last item, "About..."
    QTest::keyClick(menu, Qt::Key_Return);
  });
  EXPECT_EQ(dialogs.TrackMenu({400, 300}, kBarMenu), ID_MENU_ABOUT);
  EXPECT_EQ(texts, QStringList({"Options...", "Manual...", "Close\tAlt-F4", "-", "About..."}));
  EXPECT_EQ(frame.topRight(), QPoint(399, 300)) << "the top right corner at the pointer";
}

// Cancelling everything closes the open menu, or the Options dialog with the
// colour picker open inside it, or the About box, and the call that opened
// it returns soon as cancelled.
TEST_F(QtBarDialogsTest, CancelAllClosesWhatIsOpen) {
  QTimer::singleShot(50, [&] { dialogs.CancelAll(); });
  EXPECT_EQ(dialogs.TrackMenu({400, 300}, kBarMenu), 0);

  QTimer::singleShot(50, [] {
    // The colour picker, nested inside Options as a swatch click opens it.
    QTimer::singleShot(
        50, [] { ASSERT_NE(qobject_cast<QColorDialog*>(QApplication::activeModalWidget()), nullptr); });
    PlatformColorPicker().PickColor(QApplication::activeModalWidget(), 0);
  });
  QTimer::singleShot(150, [&] { dialogs.CancelAll(); });
  QElapsedTimer elapsed;
  elapsed.start();
  BarSettings settings;
  EXPECT_FALSE(dialogs.RunOptions(settings));
  EXPECT_LT(elapsed.elapsed(), 5000);

  QTimer::singleShot(50, [&] { dialogs.CancelAll(); });
  dialogs.RunAbout();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace vantrel
