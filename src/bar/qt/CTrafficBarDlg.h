#pragma once

#include <QBasicTimer>
#include <QIcon>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "bar/BarController.h"
#include "bar/qt/QtBarCanvas.h"

class QEventLoop;

namespace vantrel {

// The services the Qt bar window hands on to the controller, and the one it
// makes itself: the desktop's bar service, once its native window exists and
// before it is shown.
struct QtBarServices {
  InterfaceTableSource& interfaces;
  MonotonicClock& clock;
  SettingsStore& store;
  RunAtStartup& runAtStartup;
  BarDialogs& dialogs;
  std::function<std::unique_ptr<AppBarService>(QWidget&)> createAppBar;
  ManualPlaces manual;
};

// The bar's window on Qt: a borderless, always-on-top tool window. It turns
// Qt's events into calls of the bar's controller and runs the modal loop the
// bar lives in.
class CTrafficBarDlg final : public QWidget, private BarWindow {
  Q_OBJECT

 public:
  explicit CTrafficBarDlg(QtBarServices services, QWidget* parent = nullptr);
  ~CTrafficBarDlg() override;

  // Creates and docks the window, then runs until a close command ends it.
  // Returns the command that ended it.
  int DoModal();

  // The controller, from DoModal on.
  BarController* Controller() { return controller_ ? &*controller_ : nullptr; }
  const QtBarCanvas& Canvas() const { return canvas_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void WatchScreens();
  void WatchScreen(QScreen* screen);
  void ScheduleDisplayChange();

  // BarWindow
  BarRect WindowRect() override;
  BarRect DesktopRect() override;
  void PlaceTopmost(const BarRect& rc) override;
  void Hide() override;
  void Repaint() override;
  void StartTimer(int milliseconds) override;
  void StopTimer() override;
  void EndRun(int result) override;

  QtBarServices services_;
  QtBarCanvas canvas_;  // the off-screen surface
  QBasicTimer sampleTimer_;
  std::unique_ptr<AppBarService> appBar_;
  std::optional<BarController> controller_;
  QEventLoop* modalLoop_ = nullptr;
  bool displayChangeScheduled_ = false;
};

}  // namespace vantrel
