#pragma once

#include <windows.h>

#include <memory>

#include "bar/BarController.h"
#include "bar/PixelBufferCanvas.h"
#include "bar/SurfacePresenter.h"
#include "bar/win32/ShellAppBar.h"

namespace vantrel {

// The bar's window on Windows: a modeless dialog made from template 102
// (a borderless pop-up tool window, topmost, 20 dialog units of the dialog
// font high: the bar's thickness), with its own message loop. It turns
// window messages into calls of the bar's controller (the timer, paint,
// right-click, Enter and Esc through the dialog manager, the close request,
// display and resolution changes, the session's end) and puts the canvas's
// pixels on the window.
class Win32BarHost final : public BarWindow, public SurfacePresenter {
 public:
  // Posted to the window when links (wParam 1) or routes (0) changed.
  static constexpr UINT kNetworkChangeMessage = WM_APP + 2;

  // Makes the window, hidden, from the resources of `instance`; null when it
  // cannot be made.
  static std::unique_ptr<Win32BarHost> Create(HINSTANCE instance);
  ~Win32BarHost() override;

  Win32BarHost(const Win32BarHost&) = delete;
  Win32BarHost& operator=(const Win32BarHost&) = delete;

  HWND Window() const { return window_; }
  AppBarService& AppBar() { return appBar_; }
  // The window's vertical resolution, in dots per inch.
  int Dpi() const;

  // Starts delivering messages to `controller` and drawing through `canvas`.
  void Attach(BarController& controller, PixelBufferCanvas& canvas);
  // Runs the message loop until EndRun; its result, or 1 when the loop ended
  // another way (WM_QUIT from elsewhere).
  int Run();
  // Asks the bar to end as at the session's end. Any thread may call it.
  void RequestTermination();

  // BarWindow
  BarRect WindowRect() override;
  BarRect DesktopRect() override;
  void PlaceTopmost(const BarRect& rc) override;
  void Hide() override;
  void Repaint() override;
  void StartTimer(int milliseconds) override;
  void StopTimer() override;
  void EndRun(int result) override;

  // SurfacePresenter
  void Present(const SurfaceView& surface, const PixelRect& area) override;

 private:
  explicit Win32BarHost(HWND window);
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // True when the message was handled here.
  bool Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void UpdateClientSize();

  HWND window_;
  ShellAppBar appBar_;
  BarController* controller_ = nullptr;
  PixelBufferCanvas* canvas_ = nullptr;
  HDC paintDc_ = nullptr;  // while WM_PAINT is handled
  bool ended_ = false;
  int result_ = 1;
};

}  // namespace vantrel
