#pragma once

#include <string>

#include "bar/AppBarDocking.h"
#include "bar/BarCanvas.h"
#include "bar/BarHost.h"
#include "bar/BarRenderer.h"
#include "settings/ApplyOptions.h"
#include "settings/BarSettings.h"
#include "settings/RunAtStartup.h"
#include "settings/SettingsStore.h"
#include "traffic/InterfaceTable.h"
#include "traffic/MonotonicClock.h"
#include "traffic/TrafficMonitor.h"

namespace vantrel {

// Where the manual may be: beside the executable (a build tree, an unpacked
// copy), else where the package installed it.
struct ManualPlaces {
  std::string besideExecutable;
  std::string installed;
};

// What the bar works with; every service outlives the controller.
struct BarServices {
  InterfaceTableSource& interfaces;
  MonotonicClock& clock;
  SettingsStore& store;
  RunAtStartup& runAtStartup;
  BarWindow& window;
  BarDialogs& dialogs;
  BarCanvas& canvas;
  AppBarService& appBar;
  ManualPlaces manual;
};

// The bar's behaviour, apart from any window system: start-up, the 200 ms
// tick, the commands of its menu and keys, the Options dialog taken over,
// display changes and the close. A host turns its platform's events into
// these calls and does nothing else.
class BarController final : private OptionsEffects {
 public:
  explicit BarController(BarServices services);

  // Loads the settings, docks the bar and starts the timer. The host's
  // window exists (unmapped) and has its undocked size.
  void OnInitDialog();

  // A timer message; only kSampleTimerId runs a tick.
  void OnTimer(int id);
  // A command from the menu or the keyboard; a close command ends the run.
  void OnCommand(int id);
  // The system reported changed links or routes; the next tick reads them.
  void OnNetworkChange(bool links, bool routes);
  // A right-click; `at` is the pointer in screen pixels.
  void OnContextMenu(ScreenPoint at);
  // The window needs painting.
  void OnPaint();
  // The screen layout changed: re-dock and rebuild the surface.
  void OnDisplayChange();
  // Another bar or panel on the screen's edges came, moved or went: the bar
  // docks again where its strip would now lie elsewhere.
  void OnNeighboursChanged();
  // The process is asked to end (a signal, the session's end): whatever
  // menu or dialog is open closes as cancelled, then the bar closes once.
  void OnTerminate();

  // Saves the settings of a bar that is still running while the process
  // ends without a close command.
  void SaveOnUnexpectedExit();

  // True from the end of OnInitDialog until the bar closes.
  bool IsRunning() const { return running_; }
  // True once the bar has closed; Result() is the command that closed it.
  bool HasEnded() const { return ended_; }
  int Result() const { return result_; }
  // The process's exit code once the run is over: after a close, 0, or 1
  // when the last save of the settings failed; `notClosed` when the bar
  // never closed.
  int ExitCode(int notClosed) const;

  // The manual the Manual command opens.
  std::string ManualPath() const;

  const BarSettings& Settings() const { return settings_; }
  const TrafficMonitor& Monitor() const { return monitor_; }
  const AppBarDocking& Docking() const { return docking_; }

 private:
  void ShutdownBar();
  void Save(const BarSettings& settings);
  void EndDialog(int result);
  void OnOptions();
  void ShowAbout();
  void OpenManual();
  // Runs `open` as a modal step: a termination that arrives meanwhile is
  // carried out once it returns. True when the bar is still running then.
  template <typename Open>
  bool RunModal(Open open);

  // OptionsEffects
  void DockToEdge(DockEdge edge) override;
  void ResetHistory() override;
  void SaveSettings(const BarSettings& settings) override;
  void Repaint() override;

  BarServices services_;
  BarSettings settings_;
  TrafficMonitor monitor_;  // history, interface table and selected row
  BarRenderer renderer_;    // barWidth, barHeight, displayChanged
  AppBarDocking docking_;   // undockedRect, dockEdge, registeredWithShell

  bool running_ = false;
  bool ended_ = false;
  int result_ = 0;
  int modalDepth_ = 0;
  bool terminationPending_ = false;
  bool lastSaveFailed_ = false;
};

}  // namespace vantrel
