#include "controls/qt/DialogPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "controls/WindowPlacement.h"

namespace vantrel {

namespace {

struct Placement {
  QRect owner;
  QRect workArea;
};

Placement PlacementFor(const OwnerWindow& owner) {
  QWidget* ownerWindow = owner.widget != nullptr ? owner.widget->window() : nullptr;
  QScreen* screen = nullptr;
  if (ownerWindow != nullptr) {
    screen = ownerWindow->screen();
  } else if (!owner.frame.isEmpty()) {
    screen = QGuiApplication::screenAt(owner.frame.center());
  }
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QRect workArea = screen->availableGeometry();
  if (ownerWindow != nullptr) return {ownerWindow->frameGeometry(), workArea};
  return {!owner.frame.isEmpty() ? owner.frame : workArea, workArea};
}

// The frame the window manager puts around `window`: its own once known,
// else that of another framed window of the program, else none.
QMargins FrameMarginsOf(const QWidget& window) {
  if (const QWindow* handle = window.windowHandle(); handle != nullptr && !handle->frameMargins().isNull()) {
    return handle->frameMargins();
  }
  for (const QWidget* other : QApplication::topLevelWidgets()) {
    if (!other->isVisible() || other->windowHandle() == nullptr) continue;
    const QMargins margins = other->windowHandle()->frameMargins();
    if (!margins.isNull()) return margins;
  }
  return {};
}

// Looks at the window again when it is first activated, which is after the
// window manager has put its frame around it.
class PlacementCheck final : public QObject {
 public:
  PlacementCheck(QWidget& window, const OwnerWindow& owner)
      : QObject(&window), window_(window), ownerWidget_(owner.widget), ownerFrame_(owner.frame) {
    window.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::WindowActivate) {
      // An owner widget that has gone meanwhile counts as none.
      const Placement placement = PlacementFor(ownerWidget_ != nullptr ? OwnerWindow(ownerWidget_)
                                                                       : OwnerWindow(ownerFrame_, nullptr));
      if (placement.workArea.isValid()) {
        const QRect frame = window_.frameGeometry();
        const QPoint corner = CentredInside(frame.size(), placement.owner, placement.workArea);
        if (corner != frame.topLeft()) window_.move(corner);
      }
      window_.removeEventFilter(this);
      deleteLater();
    }
    return false;
  }

 private:
  QWidget& window_;
  QPointer<QWidget> ownerWidget_;
  QRect ownerFrame_;
};

}  // namespace

QPoint CentredInside(const QSize& frame, const QRect& owner, const QRect& workArea) {
  const ScreenPoint corner =
      CentredInside(frame.width(), frame.height(), {owner.x(), owner.y(), owner.width(), owner.height()},
                    {workArea.x(), workArea.y(), workArea.width(), workArea.height()});
  return {corner.x, corner.y};
}

void PlaceOverOwner(QWidget& window, const OwnerWindow& owner) {
  // Some platforms know the frame as soon as the window exists.
  (void)window.winId();
  if (owner.widget == nullptr && owner.native != nullptr && window.windowHandle() != nullptr) {
    window.windowHandle()->setTransientParent(owner.native);
  }
  const Placement placement = PlacementFor(owner);
  if (!placement.workArea.isValid()) return;
  const QSize frame = window.size().grownBy(FrameMarginsOf(window));
  // Before the window exists, move() places the outer corner of its frame.
  window.move(CentredInside(frame, placement.owner, placement.workArea));
  new PlacementCheck(window, owner);
}

}  // namespace vantrel
