#include "bar/BarController.h"

#include <filesystem>
#include <system_error>

#include "settings/SettingsPersistence.h"

namespace vantrel {

BarController::BarController(BarServices services)
    : services_(std::move(services)),
      monitor_(services_.interfaces, services_.clock),
      renderer_(services_.canvas, settings_),
      docking_(services_.appBar, services_.window) {}

void BarController::OnInitDialog() {
  docking_.undockedRect = services_.window.WindowRect();
  LoadSettings(settings_, services_.store, services_.runAtStartup);
  renderer_.displayChanged = false;
  monitor_.ReleaseTable();
  monitor_.ResetHistory();
  docking_.DockToEdge(DockEdgeForPosition(settings_.position));
  monitor_.StartTimeBase();
  services_.window.StartTimer(kSampleTimerMilliseconds);
  running_ = true;
}

void BarController::OnTimer(int id) {
  if (id == kSampleTimerId && running_) {
    monitor_.UpdateBar(settings_.connection, renderer_, settings_.automaticConnection != 0);
  }
}

void BarController::OnNetworkChange(bool links, bool routes) {
  monitor_.OnNetworkChange(links, routes);
}

void BarController::OnPaint() {
  renderer_.OnPaint();
}

void BarController::OnDisplayChange() {
  if (!running_) return;
  renderer_.OnDisplayChange();
  docking_.DockToEdge(DockEdgeForPosition(settings_.position));
}

void BarController::OnNeighboursChanged() {
  if (running_ && docking_.FollowNeighbours()) renderer_.OnDisplayChange();
}

void BarController::OnCommand(int id) {
  switch (id) {
    case ID_BAR_OK:
    case ID_BAR_CANCEL:
      if (!running_) return;
      ShutdownBar();
      EndDialog(id);
      break;
    case ID_MENU_CLOSE:
      OnCommand(ID_BAR_CANCEL);
      break;
    case ID_MENU_ABOUT:
      ShowAbout();
      break;
    case ID_MENU_OPTIONS:
      OnOptions();
      break;
    case ID_MENU_MANUAL:
      OpenManual();
      break;
    default:
      break;
  }
}

void BarController::OnContextMenu(ScreenPoint at) {
  if (!running_) return;
  int chosen = 0;
  // The chosen command runs once the menu has closed.
  if (RunModal([&] { chosen = services_.dialogs.TrackMenu(at, kBarMenu); })) OnCommand(chosen);
}

void BarController::OnTerminate() {
  if (!running_ || terminationPending_) return;
  if (modalDepth_ == 0) {
    OnCommand(ID_BAR_CANCEL);
    return;
  }
  // The bar closes once the open menu or dialog has returned.
  terminationPending_ = true;
  services_.dialogs.CancelAll();
}

template <typename Open>
bool BarController::RunModal(Open open) {
  ++modalDepth_;
  open();
  --modalDepth_;
  if (terminationPending_) {
    // Only the outermost step closes the bar: an inner one still has its
    // caller's dialog to unwind.
    if (modalDepth_ == 0) {
      terminationPending_ = false;
      OnCommand(ID_BAR_CANCEL);
    }
    return false;
  }
  return running_;
}

void BarController::OnOptions() {
  BarSettings copy = settings_;
  bool confirmed = false;
  if (!RunModal([&] { confirmed = services_.dialogs.RunOptions(copy); })) return;
  if (confirmed) ApplyOptions(settings_, copy, *this, services_.runAtStartup);
}

void BarController::ShowAbout() {
  RunModal([&] { services_.dialogs.RunAbout(); });
}

std::string BarController::ManualPath() const {
  std::error_code error;
  const auto& places = services_.manual;
  if (places.installed.empty() || std::filesystem::exists(places.besideExecutable, error)) {
    return places.besideExecutable;
  }
  return std::filesystem::exists(places.installed, error) ? places.installed : places.besideExecutable;
}

void BarController::OpenManual() {
  services_.dialogs.OpenFile(ManualPath());
}

void BarController::ShutdownBar() {
  services_.window.StopTimer();
  Save(settings_);
  monitor_.ReleaseTable();
  renderer_.ReleaseSurface();
  docking_.Remove();
  running_ = false;
}

void BarController::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  services_.window.Hide();
  services_.window.EndRun(result);
}

void BarController::SaveOnUnexpectedExit() {
  if (running_) Save(settings_);
}

void BarController::DockToEdge(DockEdge edge) {
  // Nothing docks once the bar has closed.
  if (!ended_) docking_.DockToEdge(edge);
}

void BarController::ResetHistory() {
  monitor_.ResetHistory();
}

void BarController::SaveSettings(const BarSettings& settings) {
  Save(settings);
}

void BarController::Save(const BarSettings& settings) {
  lastSaveFailed_ = !vantrel::SaveSettings(settings, services_.store, services_.runAtStartup);
}

int BarController::ExitCode(int notClosed) const {
  if (!ended_) return notClosed;
  return lastSaveFailed_ ? 1 : 0;
}

void BarController::Repaint() {
  services_.window.Repaint();
}

}  // namespace vantrel
