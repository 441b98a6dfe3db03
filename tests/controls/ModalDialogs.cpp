#include "controls/ModalDialogs.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>

namespace vantrel::testing {

void ExpectNothingClipped(QWidget& window) {
  const QRect inside = window.rect();
  for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isHidden()) continue;
    SCOPED_TRACE(child->objectName().toStdString());
    EXPECT_TRUE(inside.contains(child->geometry())) << "outside the window";
    QSize needed;
    if (auto* label = qobject_cast<QLabel*>(child); label != nullptr && !label->text().isEmpty()) {
      needed = label->sizeHint();
    } else if (auto* button = qobject_cast<QAbstractButton*>(child)) {
      needed = button->minimumSizeHint();
    } else if (auto* combo = qobject_cast<QComboBox*>(child)) {
      needed = QSize(0, combo->minimumSizeHint().height());
    } else {
      continue;
    }
    EXPECT_GE(child->width(), needed.width()) << "text cut on the side";
    EXPECT_GE(child->height(), needed.height()) << "text cut at the top or bottom";
  }
}

void ExpectModalDialogFrame(QDialog& dialog) {
  const Qt::WindowFlags flags = dialog.windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
  EXPECT_TRUE(flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
  for (const Qt::WindowType button : {Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                                      Qt::WindowContextHelpButtonHint, Qt::WindowFullscreenButtonHint}) {
    EXPECT_FALSE(flags.testFlag(button)) << "window flags " << Qt::hex << flags.toInt();
  }
  for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized, Qt::WindowFullScreen}) {
    dialog.setWindowState(state);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.windowState() == Qt::WindowNoState; }, 2000))
        << "window state " << Qt::hex << dialog.windowState().toInt();
    EXPECT_TRUE(dialog.isVisible());
  }
}

}  // namespace vantrel::testing
