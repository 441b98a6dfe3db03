#pragma once

#include <span>
#include <string>

#include "bar/AppBarService.h"
#include "bar/BarCommands.h"
#include "settings/BarSettings.h"

namespace vantrel {

// A point in screen pixels.
struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The bar's native window as the controller drives it. The host owns the
// window, its event loop and its one timer.
class BarWindow : public DockedWindow {
 public:
  // Takes the window off the screen (once the bar has closed).
  virtual void Hide() = 0;
  // Asks for the window to be painted again; the host answers with
  // BarController::OnPaint.
  virtual void Repaint() = 0;
  // Starts and stops the host's periodic timer; each period the host calls
  // BarController::OnTimer with kSampleTimerId.
  virtual void StartTimer(int milliseconds) = 0;
  virtual void StopTimer() = 0;
  // Ends the bar's run loop with `result` (a close command).
  virtual void EndRun(int result) = 0;
};

// The menu and the modal dialogs the bar opens, and the desktop's way of
// opening a document. Each call returns once the user is done with it; the
// bar keeps ticking meanwhile.
class BarDialogs {
 public:
  virtual ~BarDialogs() = default;

  // Shows `items` as a pop-up menu with its right edge and its top at `at`;
  // the command chosen, or 0 when the menu was dismissed.
  virtual int TrackMenu(ScreenPoint at, std::span<const MenuItem> items) = 0;
  // Runs the Options dialog on `settings`; true when the user chose OK.
  virtual bool RunOptions(BarSettings& settings) = 0;
  // Shows the About box until the user closes it.
  virtual void RunAbout() = 0;
  // Opens a local file with the desktop's viewer for it; failures are silent.
  virtual void OpenFile(const std::string& path) = 0;
  // Closes whatever menu or dialog is open as if the user cancelled it, so
  // that the call that opened it returns soon.
  virtual void CancelAll() = 0;
};

}  // namespace vantrel
