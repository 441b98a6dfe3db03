#include "controls/qt/CLabelCtrl.h"

#include <vector>

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QFontDatabase>
#include <QImage>
#include <QSignalSpy>
#include <QUrl>
#include <QWidget>

#include "controls/ModalDialogs.h"

namespace vantrel {
namespace {

using testing::ClickThroughWindow;
using testing::PressThroughWindow;
using testing::ReleaseThroughWindow;

// Catches what the desktop is asked to open, for as long as it lives.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  explicit UrlCatcher(std::vector<std::string>* journal = nullptr) : journal_(journal) {
    for (const char* scheme : {"http", "https", "file"})
      QDesktopServices::setUrlHandler(scheme, this, "Open");
  }
  ~UrlCatcher() override {
    for (const char* scheme : {"http", "https", "file"}) QDesktopServices::unsetUrlHandler(scheme);
  }

  std::vector<QUrl> opened;

 public slots:
  void Open(const QUrl& url) {
    opened.push_back(url);
    if (journal_ != nullptr) journal_->push_back("open " + url.toString().toStdString());
  }

 private:
  std::vector<std::string>* journal_;
};

// A window with one label in it, shown, so that clicks go through the window.
struct LabelInWindow {
  LabelInWindow() : label(new CLabelCtrl(&window)) {
    window.resize(200, 80);
    label->setGeometry(20, 20, 160, 30);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QWidget window;
  CLabelCtrl* label;
};

int PixelsOf(const QImage& image, const QColor& color) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y).rgb() == color.rgb() ? 1 : 0;
  return count;
}

TEST(CLabelCtrlTest, StartsAsAPlainLabelInTheDesktopFont) {
  CLabelCtrl label;
  const QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  EXPECT_EQ(label.LabelFont().family(), desktop.family());
  EXPECT_EQ(label.LabelFont().pointSizeF(), desktop.pointSizeF());
  EXPECT_EQ(label.font().weight(), QFont::Normal);
  EXPECT_FALSE(label.font().underline());
  EXPECT_FALSE(label.HyperlinkEnabled());
  EXPECT_FALSE(label.NotifiesClicks());
  EXPECT_FALSE(label.HoverCursor().has_value());
  EXPECT_EQ(label.CaptionColor(), label.palette().color(QPalette::WindowText));
  EXPECT_EQ(label.FillColor(), label.palette().color(QPalette::Button));
}

TEST(CLabelCtrlTest, BoldAndUnderlineKeepEachOther) {
  CLabelCtrl label;
  EXPECT_EQ(&label.EnableBold(true).EnableUnderline(true), &label);  // the setters chain
  EXPECT_EQ(label.font().weight(), QFont::Bold);
  EXPECT_TRUE(label.font().underline());

  label.EnableBold(false);
  EXPECT_EQ(label.font().weight(), QFont::Normal);
  EXPECT_TRUE(label.font().underline());

  label.EnableBold(true).EnableUnderline(false);
  EXPECT_EQ(label.font().weight(), QFont::Bold);
  EXPECT_FALSE(label.font().underline());
  // The family and size stay the desktop's.
  EXPECT_EQ(label.font().family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}

TEST(CLabelCtrlTest, PaintsItsFillAndCaptionColours) {
  CLabelCtrl label;
  label.resize(120, 40);
  const QColor fill(16, 112, 48);
  const QColor ink(255, 0, 0);
  label.SetFillColor(fill).SetCaptionColor(ink).SetCaption(QString());
  QImage image = label.grab().toImage();
  EXPECT_EQ(PixelsOf(image, fill), image.width() * image.height());

  label.SetCaption("MMMM");
  image = label.grab().toImage();
  EXPECT_GT(PixelsOf(image, ink), 0);
  EXPECT_GT(PixelsOf(image, fill), image.width() * image.height() / 2);

  // A new fill colour replaces the old one everywhere.
  label.SetFillColor(Qt::white).SetCaption(QString());
  image = label.grab().toImage();
  EXPECT_EQ(PixelsOf(image, fill), 0);
}

TEST(CLabelCtrlTest, LinkOpensItsOwnTextOnPressAndStillReportsTheClick) {
  std::vector<std::string> journal;
  UrlCatcher catcher(&journal);
  LabelInWindow view;
  view.label->SetCaption("https://vantrel.example.org/start").EnableHyperlink(true);
  QObject::connect(view.label, &CLabelCtrl::clicked, [&journal] { journal.push_back("clicked"); });

  PressThroughWindow(*view.label);
  ASSERT_EQ(journal, (std::vector<std::string>{"open https://vantrel.example.org/start", "clicked"}));
  ReleaseThroughWindow(*view.label);
  EXPECT_EQ(journal.size(), 2u);  // nothing more on the release

  // The target is the text shown at the moment of the press.
  view.label->SetCaption("https://vantrel.example.org/other");
  ClickThroughWindow(*view.label);
  ASSERT_EQ(catcher.opened.size(), 2u);
  EXPECT_EQ(catcher.opened[1], QUrl("https://vantrel.example.org/other"));
}

TEST(CLabelCtrlTest, TheWholeLabelIsTheLink) {
  UrlCatcher catcher;
  LabelInWindow view;
  view.label->setAlignment(Qt::AlignHCenter);
  view.label->SetCaption("https://x.example.org/").EnableHyperlink(true);
  ClickThroughWindow(*view.label, QPoint(1, 1));
  ClickThroughWindow(*view.label, QPoint(view.label->width() - 2, view.label->height() - 2));
  EXPECT_EQ(catcher.opened.size(), 2u);
}

TEST(CLabelCtrlTest, DoubleClickOpensTheLinkOnce) {
  UrlCatcher catcher;
  LabelInWindow view;
  view.label->SetCaption("https://x.example.org/").EnableHyperlink(true);
  QSignalSpy clicks(view.label, &CLabelCtrl::clicked);
  QWidget* window = view.label->window();
  const QPoint at = view.label->mapTo(window, view.label->rect().center());
  QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(catcher.opened.size(), 1u);
  EXPECT_EQ(clicks.count(), 1);
}

TEST(CLabelCtrlTest, EmptyLinkOpensNothing) {
  UrlCatcher catcher;
  LabelInWindow view;
  view.label->SetCaption(QString()).EnableHyperlink(true);
  QSignalSpy clicks(view.label, &CLabelCtrl::clicked);
  ClickThroughWindow(*view.label);
  EXPECT_TRUE(catcher.opened.empty());
  EXPECT_EQ(clicks.count(), 1);
}

TEST(CLabelCtrlTest, NotifyingLabelReportsClicksWithoutOpeningAnything) {
  UrlCatcher catcher;
  LabelInWindow view;
  view.label->SetCaption("https://x.example.org/");
  view.label->setProperty("notifiesClicks", true);  // as a form sets it
  QSignalSpy clicks(view.label, &CLabelCtrl::clicked);
  ClickThroughWindow(*view.label);
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_TRUE(catcher.opened.empty());
  // Other buttons are no clicks.
  QWidget* window = view.label->window();
  QTest::mouseClick(window->windowHandle(), Qt::RightButton, Qt::NoModifier,
                    view.label->mapTo(window, view.label->rect().center()));
  EXPECT_EQ(clicks.count(), 1);
}

// Without notification the label is transparent to the mouse: the widget
// below it gets the press. Turning the link off stops notification even when
// the form asked for it.
TEST(CLabelCtrlTest, LabelThatDoesNotNotifyLeavesThePressToTheWidgetBelow) {
  struct PressCounter : QWidget {
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    int presses = 0;
  } window;
  window.resize(200, 80);
  auto* label = new CLabelCtrl(&window);
  label->setGeometry(20, 20, 160, 30);
  label->SetCaption("https://x.example.org/");
  label->setProperty("notifiesClicks", true);
  label->EnableHyperlink(true).EnableHyperlink(false);
  label->SetHoverCursor(QCursor(Qt::PointingHandCursor));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  UrlCatcher catcher;
  QSignalSpy clicks(label, &CLabelCtrl::clicked);

  ClickThroughWindow(*label);

  EXPECT_FALSE(label->NotifiesClicks());
  EXPECT_EQ(clicks.count(), 0);
  EXPECT_TRUE(catcher.opened.empty());
  EXPECT_EQ(window.presses, 1);
}

TEST(CLabelCtrlTest, HoverCursorCanBeSetAndCleared) {
  QWidget window;
  window.setCursor(Qt::CrossCursor);
  auto* label = new CLabelCtrl(&window);
  label->SetHoverCursor(QCursor(Qt::PointingHandCursor));
  ASSERT_TRUE(label->HoverCursor().has_value());
  EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
  label->SetHoverCursor(std::nullopt);
  EXPECT_FALSE(label->HoverCursor().has_value());
  EXPECT_EQ(label->cursor().shape(), Qt::CrossCursor);  // the parent's again
}

}  // namespace
}  // namespace vantrel

#include "CLabelCtrlTest.moc"
