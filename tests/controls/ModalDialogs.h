#pragma once

#include <functional>

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

// A left-button click on `widget` that goes through its window, as a user's
// would: the window decides which widget gets it.
inline void ClickThroughWindow(QWidget& widget, QPoint pos = QPoint(-1, -1)) {
  if (pos == QPoint(-1, -1)) pos = widget.rect().center();
  QWidget* window = widget.window();
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, widget.mapTo(window, pos));
}

inline void PressThroughWindow(QWidget& widget, QPoint pos = QPoint(-1, -1)) {
  if (pos == QPoint(-1, -1)) pos = widget.rect().center();
  QWidget* window = widget.window();
  QTest::mousePress(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, widget.mapTo(window, pos));
}

inline void ReleaseThroughWindow(QWidget& widget, QPoint pos = QPoint(-1, -1)) {
  if (pos == QPoint(-1, -1)) pos = widget.rect().center();
  QWidget* window = widget.window();
  QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, widget.mapTo(window, pos));
}

// Every text control of `window` shows its whole text inside its own
// rectangle, and every control lies inside the window.
void ExpectNothingClipped(QWidget& window);

}  // namespace vantrel::testing
