#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "bar/BarCommands.h"
#include "bar/linux/DialogsProcess.h"
#include "bar/linux/EventLoop.h"

namespace vantrel {
namespace {

// The real helper program on Qt's offscreen platform, driven by the bar's
// client: each menu or dialog stays open while the bar ticks on, until the
// bar cancels it.
TEST(DialogsHelperTest, MenuAndDialogsStayOpenUntilTheBarCancels) {
  EventLoop loop;
  const DialogOwner owner{{0, 0, 800, 20}, 0};
  DialogsProcess dialogs(loop, [&] { return owner; }, {DIALOGS_HELPER});
  BarSettings settings;
  settings.connection = "lo";
  const BarSettings before = settings;
  struct Call {
    const char* name;
    std::function<bool()> cancelled;  // runs the call; true when it came back cancelled
  };
  const auto menu = [&] { return dialogs.TrackMenu(ScreenPoint{400, 20}, kBarMenu) == 0; };
  const auto about = [&] { return dialogs.RunAbout(), true; };
  const Call calls[] = {{"menu", menu},
                        {"options", [&] { return !dialogs.RunOptions(settings) && settings == before; }},
                        {"about", about},
                        {"menu again", menu}};
  for (const Call& call : calls) {
    int ticks = 0;
    int ticksAtCancel = -1;
    loop.StartTimer(20, [&] {
      ++ticks;
      // Long enough for the helper to start and open what was asked for.
      if (ticks == 40) {
        ticksAtCancel = ticks;
        dialogs.CancelAll();
      }
      if (ticks == 1000) loop.Quit(1);  // never answered
    });
    EXPECT_TRUE(call.cancelled()) << call.name;
    loop.StopTimer();
    EXPECT_EQ(ticksAtCancel, 40) << call.name << " was answered before the bar cancelled it";
    ASSERT_FALSE(loop.QuitRequested()) << call.name << " was never answered";
  }
}

}  // namespace
}  // namespace vantrel
