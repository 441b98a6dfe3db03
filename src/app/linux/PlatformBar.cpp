#include "app/PlatformBar.h"

#include <csignal>
#include <optional>

#include "bar/PixelBufferCanvas.h"
#include "bar/linux/DialogsProcess.h"
#include "bar/linux/EventLoop.h"
#include "bar/linux/FreeTypeGlyphSource.h"
#include "bar/x11/X11BarHost.h"
#include "settings/linux/XdgPaths.h"

namespace vantrel {
ManualPlaces PlatformManualPlaces() {
  const std::string executable = CurrentExecutablePath();
  const std::string folder = executable.substr(0, executable.rfind('/') + 1);
  return {folder + kManualFileName, std::string(VANTREL_DOC_DIR "/") + kManualFileName};
}

int RunPlatformBar(const BarStartup& startup, BarController*& running) {
  EventLoop loop;
  const auto host = X11BarHost::Open(loop);
  if (!host) return 1;
  FreeTypeGlyphSource glyphs;
  PixelBufferCanvas canvas(glyphs);
  // The menu and dialogs run in a helper process, started on the first
  // right-click: no toolkit is loaded into the bar until then.
  X11BarHost& window = *host;
  DialogsProcess dialogs(loop, [&window] { return DialogOwner{window.WindowRect(), window.Window()}; });
  BarController bar(BarServices{startup.interfaces, startup.clock, startup.store, startup.runAtStartup, *host,
                                dialogs, canvas, host->AppBar(), startup.manual});
  host->Attach(bar, canvas);
  // SIGTERM, SIGINT and SIGHUP close the bar like its Close command:
  // settings saved, strip released; an open menu or dialog closes first.
  loop.WatchTermination([&bar] { bar.OnTerminate(); });
  running = &bar;
  bar.OnInitDialog();
  // A display that went away shows as a write error, not as a signal.
  std::signal(SIGPIPE, SIG_IGN);
  if (!bar.HasEnded()) loop.Run();
  running = nullptr;
  // The loop ends with the bar's close, or when the display went away.
  return bar.HasEnded() ? 0 : 1;
}

}  // namespace vantrel
