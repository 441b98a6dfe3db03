#include "app/PlatformBar.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/linux/BarHostChoice.h"
#include "bar/PixelBufferCanvas.h"
#include "bar/linux/DialogsProcess.h"
#include "bar/linux/EventLoop.h"
#include "bar/linux/FreeTypeGlyphSource.h"
#include "bar/wayland/WaylandBarHost.h"
#include "bar/x11/X11BarHost.h"
#include "settings/linux/XdgPaths.h"
#include "traffic/linux/NetlinkChangeWatcher.h"

namespace vantrel {
namespace {

// What the dialogs helper is told about the bar's window: on X11 the window
// itself, so that dialogs belong to it; a Wayland surface is nothing the
// helper (on Xwayland) could name, only its place.
DialogOwner OwnerOf(X11BarHost& host) {
  return {host.WindowRect(), host.Window()};
}
DialogOwner OwnerOf(WaylandBarHost& host) {
  return {host.WindowRect(), 0};
}

// Runs the bar on `host` until it closes.
template <typename Host>
int RunBar(const BarStartup& startup, BarController*& running, EventLoop& loop, Host& host) {
  FreeTypeGlyphSource glyphs;
  PixelBufferCanvas canvas(glyphs);
  // The menu and dialogs run in a helper process, started on the first
  // right-click: no toolkit is loaded into the bar until then.
  DialogsProcess dialogs(loop, [&host] { return OwnerOf(host); });
  BarController bar(BarServices{startup.interfaces, startup.clock, startup.store, startup.runAtStartup, host,
                                dialogs, canvas, host.AppBar(), startup.manual});
  host.Attach(bar, canvas);
  // SIGTERM, SIGINT and SIGHUP close the bar like its Close command:
  // settings saved, strip released; an open menu or dialog closes first.
  loop.WatchTermination([&bar] { bar.OnTerminate(); });
  // Links and routes that change are read again on the next tick.
  NetlinkChangeWatcher changes;
  if (changes.Descriptor() >= 0) {
    loop.Watch(changes.Descriptor(), [&changes, &bar] {
      const NetworkChanges changed = changes.Drain();
      bar.OnNetworkChange(changed.links, changed.routes);
    });
  }
  running = &bar;
  bar.OnInitDialog();
  // A display that went away shows as a write error, not as a signal.
  std::signal(SIGPIPE, SIG_IGN);
  if (!bar.HasEnded()) loop.Run();
  if (changes.Descriptor() >= 0) loop.Unwatch(changes.Descriptor());
  running = nullptr;
  // The loop ends with the bar's close, or when the display went away.
  return bar.ExitCode(1);
}

}  // namespace

ManualPlaces PlatformManualPlaces() {
  const std::string executable = CurrentExecutablePath();
  const std::string folder = executable.substr(0, executable.rfind('/') + 1);
  return {folder + kManualFileName, std::string(VANTREL_DOC_DIR "/") + kManualFileName};
}

int RunPlatformBar(const BarStartup& startup, BarController*& running) {
  const BarHostPlan plan = PlanBarHosts(std::getenv("VANTREL_HOST"), std::getenv("WAYLAND_DISPLAY"));
  if (!plan.error.empty()) {
    std::fputs(plan.error.c_str(), stderr);
    return 1;
  }
  EventLoop loop;
  std::vector<std::string> reasons;
  for (const BarHostKind kind : plan.tries) {
    if (kind == BarHostKind::Wayland) {
      std::string why;
      if (const auto host = WaylandBarHost::Open(loop, why)) return RunBar(startup, running, loop, *host);
      reasons.push_back(why);
    } else {
      if (const auto host = X11BarHost::Open(loop)) return RunBar(startup, running, loop, *host);
      reasons.push_back("no X11 display could be opened (is DISPLAY set?)");
    }
  }
  std::fputs(NoHostMessage(reasons).c_str(), stderr);
  return 1;
}

}  // namespace vantrel
