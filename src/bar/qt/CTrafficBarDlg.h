#pragma once

#include <QBasicTimer>
#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "bar/AppBarDocking.h"
#include "bar/BarRenderer.h"
#include "bar/qt/BarDialogs.h"
#include "bar/qt/QtBarCanvas.h"
#include "settings/ApplyOptions.h"
#include "settings/BarSettings.h"
#include "settings/RunAtStartup.h"
#include "settings/SettingsStore.h"
#include "traffic/InterfaceTable.h"
#include "traffic/MonotonicClock.h"
#include "traffic/TrafficMonitor.h"

class QEventLoop;

namespace vantrel {

// What the bar window works with; every service outlives the window.
struct BarServices {
  InterfaceTableSource& interfaces;
  MonotonicClock& clock;
  SettingsStore& store;
  RunAtStartup& runAtStartup;
  BarDialogs& dialogs;
  // Makes the desktop's bar service for the window, once its native window
  // exists and before it is shown.
  std::function<std::unique_ptr<AppBarService>(QWidget&)> createAppBar;
};

// The bar: a borderless, always-on-top window docked along the top or bottom
// edge of the primary screen. A 200 ms timer samples the traffic and
// repaints; a right-click opens the menu of commands. It runs modally for the
// whole life of the program.
class CTrafficBarDlg final : public QWidget, private DockedWindow, private OptionsEffects {
  Q_OBJECT

 public:
  explicit CTrafficBarDlg(BarServices services, QWidget* parent = nullptr);
  ~CTrafficBarDlg() override;

  // Creates and docks the window, then runs until a close command ends it.
  // Returns the command that ended it (IDOK or IDCANCEL).
  int DoModal();

  // A timer message; only kSampleTimerId runs a tick.
  void OnTimer(int id);
  // A command from the menu or the keyboard.
  void OnCommand(int id);
  // The screen's geometry changed: re-dock and rebuild the surface.
  void OnDisplayChange();

  // Saves the settings of a bar that is still running while the process
  // ends without a close command.
  void SaveOnUnexpectedExit();

  // True from the end of initialisation until ShutdownBar.
  bool IsRunning() const { return running_; }

  const BarSettings& Settings() const { return settings_; }
  const TrafficMonitor& Monitor() const { return monitor_; }
  const AppBarDocking* Docking() const { return docking_.get(); }
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
  void OnInitDialog();
  bool UpdateBar();
  void ShutdownBar();
  void EndDialog(int result);
  void ShowContextMenu(const QPoint& globalPos);
  void OnOptions();
  void OpenManual();
  void ShowAbout();
  void WatchPrimaryScreen();

  // DockedWindow
  BarRect WindowRect() override;
  BarRect DesktopRect() override;
  void PlaceTopmost(const BarRect& rc) override;

  // OptionsEffects
  void DockToEdge(DockEdge edge) override;
  void ResetHistory() override;
  void SaveSettings(const BarSettings& settings) override;
  void Repaint() override;

  BarServices services_;
  QIcon appIcon;
  QtBarCanvas canvas_;         // the off-screen surface
  BarSettings settings_;
  QBasicTimer sampleTimer;
  TrafficMonitor monitor_;     // history, interface table and selected row
  BarRenderer renderer_;       // barWidth, barHeight, displayChanged
  std::unique_ptr<AppBarService> appBar_;
  std::unique_ptr<AppBarDocking> docking_;  // undockedRect, dockEdge, registeredWithShell

  bool running_ = false;
  bool ended_ = false;
  int result_ = 0;
  QEventLoop* modalLoop_ = nullptr;
  QMetaObject::Connection screenConnection_;
};

}  // namespace vantrel
