#include "controls/qt/CAboutBox.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include "controls/ModalDialogs.h"

namespace vantrel {
namespace {

using testing::ClickThroughWindow;
using testing::MouseThroughWindow;

class LinkCatcher : public QObject {
  Q_OBJECT

 public:
  LinkCatcher() { QDesktopServices::setUrlHandler("https", this, "Open"); }
  ~LinkCatcher() override { QDesktopServices::unsetUrlHandler("https"); }
  std::vector<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened.push_back(url); }
};

TEST(CAboutBoxTest, ShowsNameVersionCopyrightIconAndTheAddressAsALinkWithNothingClipped) {
  CAboutBox box;
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  EXPECT_EQ(box.windowTitle(), "About VantRel");
  EXPECT_EQ(box.VersionLabel().text(), "VantRel Version 1.00");
  EXPECT_EQ(box.VersionLabel().font().weight(), QFont::Bold);
  auto* copyright = box.findChild<QLabel*>("copyrightText");
  ASSERT_NE(copyright, nullptr);
  EXPECT_EQ(copyright->text(), "Copyright (C) 2026 Brindle Labs");
  EXPECT_EQ(copyright->font().weight(), box.font().weight());  // the dialog's own font, not bold
  auto* icon = box.findChild<QLabel*>("appIcon");
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
  EXPECT_FALSE(box.windowIcon().isNull());

  CLabelCtrl& link = box.WebLink();
  EXPECT_EQ(link.text(), QString::fromUtf8(kWebAddress));
  EXPECT_TRUE(link.HyperlinkEnabled());
  EXPECT_EQ(link.CaptionColor(), QColor(0, 0, 255));
  EXPECT_TRUE(link.font().underline());
  EXPECT_EQ(link.font().weight(), QFont::Normal);
  ASSERT_TRUE(link.HoverCursor().has_value());
  EXPECT_EQ(link.HoverCursor()->shape(), Qt::PointingHandCursor);

  auto* ok = box.findChild<QPushButton*>("id1");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(box.focusWidget(), ok);
  testing::ExpectNothingClipped(box);
}

TEST(CAboutBoxTest, LinkOpensOnPressAndTheBoxStaysOpen) {
  LinkCatcher catcher;
  CAboutBox box;
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));

  MouseThroughWindow(box.WebLink(), QTest::MousePress);
  ASSERT_EQ(catcher.opened.size(), 1u);
  EXPECT_EQ(catcher.opened[0], QUrl(QString::fromUtf8(kWebAddress)));
  MouseThroughWindow(box.WebLink(), QTest::MouseRelease);
  EXPECT_EQ(catcher.opened.size(), 1u);

  // The empty space beside the centred address belongs to the link as well.
  MouseThroughWindow(box.WebLink(), QTest::MouseClick, QPoint(1, box.WebLink().height() / 2));
  EXPECT_EQ(catcher.opened.size(), 2u);
  // The version line is no link.
  ClickThroughWindow(box.VersionLabel());
  EXPECT_EQ(catcher.opened.size(), 2u);
  EXPECT_TRUE(box.isVisible());
}

TEST(CAboutBoxTest, OkEnterEscapeAndTheCloseBoxEndIt) {
  for (const std::string how : {"ok", "enter", "escape", "close"}) {
    SCOPED_TRACE(how);
    CAboutBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    if (how == "ok") ClickThroughWindow(*box.findChild<QPushButton*>("id1"));
    if (how == "enter") QTest::keyClick(&box, Qt::Key_Return);
    if (how == "escape") QTest::keyClick(&box, Qt::Key_Escape);
    if (how == "close") box.close();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), how == "ok" || how == "enter" ? QDialog::Accepted : QDialog::Rejected);
  }
}

TEST(CAboutBoxTest, OpensModallyOverItsOwner) {
  QWidget owner;
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  owner.setGeometry(screen.x() + 100, screen.y() + 100, 400, 300);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  QRect seen;
  testing::WhenModalShows<CAboutBox>([&](CAboutBox& box) {
    seen = box.frameGeometry();
    box.accept();
  });
  ShowAboutBox(&owner);
  EXPECT_LE((seen.center() - owner.frameGeometry().center()).manhattanLength(), 2);
}

}  // namespace
}  // namespace vantrel

#include "CAboutBoxTest.moc"
