#include "app/PlatformBar.h"

#include <windows.h>

#include <commctrl.h>

#include <atomic>

#include "bar/PixelBufferCanvas.h"
#include "bar/win32/GdiGlyphSource.h"
#include "bar/win32/Win32BarDialogs.h"
#include "bar/win32/Win32BarHost.h"
#include "settings/win32/ExecutablePath.h"
#include "traffic/win32/NetworkChangeNotices.h"
#include "traffic/win32/WideText.h"

namespace vantrel {
namespace {

// The bar while it runs, for the console's control handler.
std::atomic<Win32BarHost*> g_consoleTarget{nullptr};

// Ctrl-C, Ctrl-Break and the console's closing, on a thread of their own:
// the bar closes on its own thread as after Close.
BOOL WINAPI OnConsoleControl(DWORD) {
  Win32BarHost* host = g_consoleTarget.load();
  if (host == nullptr) return FALSE;
  host->RequestTermination();
  return TRUE;
}

}  // namespace

ManualPlaces PlatformManualPlaces() {
  std::string executable;
  AssignUtf8(executable, ExecutablePath());
  const std::string folder = executable.substr(0, executable.find_last_of("\\/") + 1);
  // Nothing is installed apart from the executable's folder.
  return {folder + kManualFileName, {}};
}

int RunPlatformBar(const BarStartup& startup, BarController*& running) {
  InitCommonControls();
  const auto host = Win32BarHost::Create(GetModuleHandleW(nullptr));
  if (!host) return 1;
  GdiGlyphSource glyphs;
  PixelBufferCanvas canvas(glyphs);
  Win32BarDialogs dialogs(host->Window(), startup.interfaces);
  BarController bar(BarServices{startup.interfaces, startup.clock, startup.store, startup.runAtStartup, *host,
                                dialogs, canvas, host->AppBar(), startup.manual});
  host->Attach(bar, canvas);
  // Links and routes that change are read again on the next tick.
  const NetworkChangeNotices changes(host->Window(), Win32BarHost::kNetworkChangeMessage);
  g_consoleTarget = host.get();
  SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
  running = &bar;
  bar.OnInitDialog();
  const int result = bar.HasEnded() ? 0 : host->Run();
  running = nullptr;
  SetConsoleCtrlHandler(&OnConsoleControl, FALSE);
  g_consoleTarget = nullptr;
  // The loop ends with the bar's close, or with a WM_QUIT from elsewhere.
  return bar.ExitCode(result);
}

}  // namespace vantrel
