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
using testing::ExpectNothingClipped;
using testing::PressThroughWindow;
using testing::ReleaseThroughWindow;
using testing::WhenModalShows;

class LinkCatcher : public QObject {
  Q_OBJECT

 public:
  LinkCatcher() { QDesktopServices::setUrlHandler("https", this, "Open"); }
  ~LinkCatcher() override { QDesktopServices::unsetUrlHandler("https"); }
  std::vector<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened.push_back(url); }
};

QLabel* Child(CAboutBox& box, const char* name) {
  return box.findChild<QLabel*>(name);
}

TEST(CAboutBoxTest, ShowsNameVersionCopyrightAndIcon) {
  CAboutBox box;
  EXPECT_EQ(box.windowTitle(), "About VantRel");
  EXPECT_EQ(box.VersionLabel().text(), "VantRel Version 1.00");
  EXPECT_EQ(box.VersionLabel().font().weight(), QFont::Bold);
  EXPECT_FALSE(box.VersionLabel().font().underline());

  QLabel* copyright = Child(box, "copyrightText");
  ASSERT_NE(copyright, nullptr);
  EXPECT_EQ(copyright->text(), "Copyright (C) 2026 Brindle Labs");
  // The copyright line is in the dialog's own font, not the labels' bold one.
  EXPECT_EQ(copyright->font().weight(), box.font().weight());

  QLabel* icon = Child(box, "appIcon");
  ASSERT_NE(icon, nullptr);
  ASSERT_FALSE(icon->pixmap().isNull());
  EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
  EXPECT_FALSE(box.windowIcon().isNull());

  auto* ok = box.findChild<QPushButton*>("id1");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_TRUE(ok->isDefault());
}

TEST(CAboutBoxTest, WebAddressIsABlueUnderlinedLinkWithAHand) {
  CAboutBox box;
  CLabelCtrl& link = box.WebLink();
  EXPECT_EQ(link.text(), QString::fromUtf8(kWebAddress));
  EXPECT_TRUE(QUrl(link.text()).isValid());
  EXPECT_EQ(QUrl(link.text()).scheme(), "https");
  EXPECT_TRUE(link.HyperlinkEnabled());
  EXPECT_EQ(link.CaptionColor(), QColor(0, 0, 255));
  EXPECT_TRUE(link.font().underline());
  EXPECT_EQ(link.font().weight(), QFont::Normal);
  ASSERT_TRUE(link.HoverCursor().has_value());
  EXPECT_EQ(link.HoverCursor()->shape(), Qt::PointingHandCursor);
}

TEST(CAboutBoxTest, LinkOpensOnPressAndTheBoxStaysOpen) {
  LinkCatcher catcher;
  CAboutBox box;
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));

  PressThroughWindow(box.WebLink());
  ASSERT_EQ(catcher.opened.size(), 1u);
  EXPECT_EQ(catcher.opened[0], QUrl(QString::fromUtf8(kWebAddress)));
  ReleaseThroughWindow(box.WebLink());
  EXPECT_EQ(catcher.opened.size(), 1u);
  EXPECT_TRUE(box.isVisible());

  // The empty space beside the centred address belongs to the link as well.
  ClickThroughWindow(box.WebLink(), QPoint(1, box.WebLink().height() / 2));
  EXPECT_EQ(catcher.opened.size(), 2u);
  EXPECT_TRUE(box.isVisible());
  // The version line is no link.
  ClickThroughWindow(box.VersionLabel());
  EXPECT_EQ(catcher.opened.size(), 2u);
}

TEST(CAboutBoxTest, OkEscapeAndCloseBoxEndIt) {
  for (const char* how : {"ok", "enter", "escape", "close"}) {
    SCOPED_TRACE(how);
    CAboutBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const std::string way = how;
    if (way == "ok") ClickThroughWindow(*box.findChild<QPushButton*>("id1"));
    if (way == "enter") QTest::keyClick(&box, Qt::Key_Return);
    if (way == "escape") QTest::keyClick(&box, Qt::Key_Escape);
    if (way == "close") box.close();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), way == "ok" || way == "enter" ? QDialog::Accepted : QDialog::Rejected);
  }
}

TEST(CAboutBoxTest, NothingIsClipped) {
  CAboutBox box;
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  ExpectNothingClipped(box);
  EXPECT_EQ(box.focusWidget(), box.findChild<QPushButton*>("id1"));
}

TEST(CAboutBoxTest, OpensModallyOverItsOwner) {
  QWidget owner;
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  owner.setGeometry(screen.x() + 100, screen.y() + 100, 400, 300);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  QRect seen;
  bool modal = false;
  WhenModalShows<CAboutBox>([&](CAboutBox& box) {
    seen = box.frameGeometry();
    modal = box.isModal();
    box.accept();
  });
  ShowAboutBox(&owner);
  EXPECT_TRUE(modal);
  EXPECT_LE(std::abs(seen.center().x() - owner.frameGeometry().center().x()), 1);
  EXPECT_LE(std::abs(seen.center().y() - owner.frameGeometry().center().y()), 1);
}

}  // namespace
}  // namespace vantrel

#include "CAboutBoxTest.moc"
