#pragma once

#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace vantrel::testing {

// Calls `act` with the modal dialog of type T as soon as it is shown, from
// inside its modal loop. A dialog still open after `patienceMs` is rejected
// and the test fails, so that a broken test ends instead of hanging.
template <class T>
void WhenModalShows(std::function<void(T&)> act, int patienceMs = 10000) {
  auto* poll = new QTimer(qApp);
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act), patienceMs] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    QPointer<QDialog> open(dialog);
    QTimer::singleShot(patienceMs, qApp, [open] {
      if (open && open->isVisible()) {
        ADD_FAILURE() << "the dialog was left open";
        open->reject();
      }
    });
    act(*dialog);
  });
  poll->start();
}

// A mouse action on `widget` (by default a left click at its centre) that goes
// through its window, as a user's would: the window decides which widget gets it.
inline void MouseThroughWindow(QWidget& widget, QTest::MouseAction action = QTest::MouseClick,
                               std::optional<QPoint> pos = std::nullopt,
                               Qt::MouseButton button = Qt::LeftButton) {
  QWidget* window = widget.window();
  QTest::mouseEvent(action, window->windowHandle(), button, Qt::NoModifier,
                    widget.mapTo(window, pos.value_or(widget.rect().center())));
}

inline void ClickThroughWindow(QWidget& widget) {
  MouseThroughWindow(widget);
}

// Every text control of `window` shows its whole text inside its own
// rectangle, and every control lies inside the window.
void ExpectNothingClipped(QWidget& window);

// The shown `dialog` asks for a title and a close box only, and comes back
// as it was when the window manager minimises, maximises or fills the screen
// with it anyway.
void ExpectModalDialogFrame(QDialog& dialog);

}  // namespace vantrel::testing
