#include "controls/qt/ModalDialogFrame.h"

#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>

namespace vantrel {

namespace {

constexpr Qt::WindowFlags kModalDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// Brings the dialog back whenever the window manager minimises or
// maximises it.
class KeepNormal final : public QObject {
 public:
  explicit KeepNormal(QDialog& dialog) : QObject(&dialog), dialog_(&dialog) {
    dialog.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == dialog_ && event->type() == QEvent::WindowStateChange &&
        (dialog_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) != 0) {
      // After the change has been handled: the state is set again from here.
      QTimer::singleShot(0, this, [dialog = dialog_] {
        if (dialog) dialog->setWindowState(Qt::WindowNoState);
      });
    }
    return false;
  }

 private:
  QPointer<QDialog> dialog_;
};

}  // namespace

void UseModalDialogFrame(QDialog& dialog) {
  dialog.setWindowFlags(kModalDialogFlags);
  new KeepNormal(dialog);
}

}  // namespace vantrel
