#include "controls/qt/CAboutBox.h"

#include <vector>

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
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

TEST(CAboutBoxTest, ShowsABoldVersionLineThePlainCopyrightAndLicenceAndTheAddressAsALink) {
  CAboutBox box;
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  EXPECT_EQ(box.VersionLabel().text(), "VantRel Version 1.00");
  EXPECT_EQ(box.VersionLabel().font().weight(), QFont::Bold);
  EXPECT_FALSE(box.VersionLabel().font().underline());
  auto* copyright = box.findChild<QLabel*>("copyrightText");
  ASSERT_NE(copyright, nullptr);
  EXPECT_EQ(copyright->font().weight(), box.font().weight());  // the dialog's own font, not bold
  auto* license = box.findChild<QLabel*>("licenseText");
  ASSERT_NE(license, nullptr);
  EXPECT_TRUE(license->text().contains("MIT License"));
  EXPECT_LT(copyright->geometry().bottom(), license->geometry().top());
  auto* icon = box.findChild<QLabel*>("appIcon");
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));

  CLabelCtrl& link = box.WebLink();
  EXPECT_EQ(link.CaptionColor(), QColor(0, 0, 255));
  EXPECT_TRUE(link.font().underline());
  EXPECT_EQ(link.font().weight(), QFont::Normal);
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);

  EXPECT_EQ(box.focusWidget(), box.findChild<QPushButton*>("id1"));
  testing::ExpectNothingClipped(box);
  testing::ExpectModalDialogFrame(box);

  // The empty space beside the centred address belongs to the link as well;
  // the version line is no link. The box stays open.
  LinkCatcher catcher;
  MouseThroughWindow(link, QTest::MouseClick, QPoint(1, link.height() / 2));
  ClickThroughWindow(box.VersionLabel());
  EXPECT_EQ(catcher.opened, std::vector<QUrl>{QUrl(QString::fromUtf8(kWebAddress))});
  EXPECT_TRUE(box.isVisible());
  ClickThroughWindow(*box.findChild<QPushButton*>("id1"));
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(box.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace vantrel

#include "CAboutBoxTest.moc"
