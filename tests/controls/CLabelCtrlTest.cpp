#include "controls/qt/CLabelCtrl.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QFontDatabase>
#include <QUrl>
#include <QWidget>

#include "controls/ModalDialogs.h"

namespace vantrel {
namespace {

using testing::MouseThroughWindow;

// A window with a label in it, shown, so that clicks go through the window.
// It writes down what the desktop is asked to open, the label's clicks and
// the presses that reach the window itself, in order.
class LabelInWindow : public QWidget {
  Q_OBJECT

 public:
  LabelInWindow() : label(new CLabelCtrl(this)) {
    QDesktopServices::setUrlHandler("https", this, "Open");
    connect(label, &CLabelCtrl::clicked, this, [this] { journal.push_back("clicked"); });
    resize(200, 80);
    label->setGeometry(20, 20, 160, 30);
    show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
  }
  ~LabelInWindow() override { QDesktopServices::unsetUrlHandler("https"); }

  CLabelCtrl* label;
  std::vector<std::string> journal;

 public slots:
  void Open(const QUrl& url) { journal.push_back("open " + url.toString().toStdString()); }

 protected:
  void mousePressEvent(QMouseEvent*) override { journal.push_back("window"); }
};

using Journal = std::vector<std::string>;

TEST(CLabelCtrlTest, LinkOpensItsOwnTextOnPressAndTheClickStillReachesTheParent) {
  LabelInWindow view;
  view.label->SetCaption("https://vantrel.example.org/start").EnableHyperlink(true);

  MouseThroughWindow(*view.label, QTest::MousePress);
  EXPECT_EQ(view.journal, (Journal{"open https://vantrel.example.org/start", "clicked"}));
  MouseThroughWindow(*view.label, QTest::MouseRelease);
  EXPECT_EQ(view.journal.size(), 2u);  // nothing more on the release

  // The target is the text shown at the moment of the press; the second
  // press of a double click neither opens it again nor clicks.
  view.label->SetCaption("https://vantrel.example.org/other");
  view.journal.clear();
  MouseThroughWindow(*view.label, QTest::MouseDClick);
  EXPECT_EQ(view.journal, (Journal{"open https://vantrel.example.org/other", "clicked"}));

  // An empty link opens nothing, but the click is reported.
  view.label->SetCaption(QString());
  view.journal.clear();
  MouseThroughWindow(*view.label);
  EXPECT_EQ(view.journal, Journal{"clicked"});
}

}  // namespace
}  // namespace vantrel

#include "CLabelCtrlTest.moc"
