#include "bar/linux/DialogsProcess.h"

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bar/linux/EventLoop.h"
#include "settings/SettingsTestFiles.h"

namespace vantrel {
namespace {

// The client against a scripted stand-in for the helper (fake-dialogs-helper).
class DialogsProcessTest : public ::testing::Test {
 protected:
  DialogsProcessTest() {
    setenv("FAKE_HELPER_LOG", (folder_ / "log").c_str(), 1);
    setenv("FAKE_HELPER_ANSWERS", (folder_ / "answers").c_str(), 1);
  }

  void Answer(std::initializer_list<const char*> answers) {
    std::ofstream file(folder_ / "answers");
    for (const char* answer : answers) file << answer << '\n';
  }
  std::vector<std::string> Log() const {
    std::ifstream file(folder_ / "log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }
  long Starts() const {
    const auto log = Log();
    return std::count(log.begin(), log.end(), "start");
  }

  testing::TempDir dir_;
  const std::filesystem::path folder_ = dir_.path();
  EventLoop loop_;
  DialogOwner owner_{{0, 1060, 1920, 1080}, 0x1a00003};
  // The first place holds no helper: the next one is tried.
  DialogsProcess dialogs_{
      loop_, [this] { return owner_; }, {"/nonexistent/vantrel-dialogs", FAKE_DIALOGS_HELPER}};
};

std::string Line(const DialogRequest& request) {
  std::string line = EncodeRequest(request);
  line.pop_back();
  return line;
}

// One helper serves call after call; only answers that fit the request
// count, and the bar's window goes with each dialog.
TEST_F(DialogsProcessTest, AnswersOfOneHelperReachTheCaller) {
  Answer({"reply menu command=32773", "reply menu command=999",
          "reply options ok connection=65746830 bg=ff text=0 label=0 graph=0 download=0 upload=0 position=0 "
          "runAtStartup=0 units=0 automatic=1",
          "reply options ok connection=6", "reply menu command=1", "reply open done"});
  EXPECT_EQ(dialogs_.TrackMenu({1919, 1060}, kBarMenu), ID_MENU_OPTIONS);
  EXPECT_EQ(dialogs_.TrackMenu({1919, 1060}, kBarMenu), 0) << "a command that was not on the menu";

  BarSettings settings;
  const BarSettings sent = settings;
  ASSERT_TRUE(dialogs_.RunOptions(settings));
  EXPECT_EQ(settings.connection, "eth0");
  EXPECT_EQ(settings.bgColor, MakeColor(255, 0, 0));
  EXPECT_EQ(settings.position, 0);
  EXPECT_EQ(settings.automaticConnection, 1);
  BarSettings untouched = settings;
  EXPECT_FALSE(dialogs_.RunOptions(untouched)) << "a malformed answer";
  EXPECT_EQ(untouched, settings);

  dialogs_.RunAbout();  // answered by a menu's reply: taken as done
  dialogs_.OpenFile("/doc/vantrel.html");

  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(Starts(), 1);
  EXPECT_EQ(log[1], Line(MakeMenuRequest({1919, 1060}, kBarMenu)));
  EXPECT_EQ(log[3], Line(OptionsRequest{owner_, sent}));
  EXPECT_EQ(log[5], Line(AboutRequest{owner_}));
  EXPECT_EQ(log[6], Line(OpenRequest{"/doc/vantrel.html"}));
}

// While the helper shows a dialog the bar ticks on; a second right-click
// meanwhile is turned away at once, and cancelling reaches the helper.
TEST_F(DialogsProcessTest, TheLoopRunsWhileTheHelperAnswersAndCancelReachesIt) {
  Answer({"on-cancel about done"});
  int ticks = 0;
  int nestedMenu = -1;
  loop_.StartTimer(20, [&] {
    if (++ticks == 2) nestedMenu = dialogs_.TrackMenu({5, 5}, kBarMenu);
    if (ticks == 5) dialogs_.CancelAll();
    if (ticks == 500) loop_.Quit(1);  // no answer came: fail below rather than hang
  });
  dialogs_.RunAbout();
  loop_.StopTimer();
  EXPECT_EQ(nestedMenu, 0);
  EXPECT_FALSE(loop_.QuitRequested());
  EXPECT_EQ(Log(), (std::vector<std::string>{"start", Line(AboutRequest{owner_}), "cancel"}))
      << "the second menu never reached the helper";
}

// A helper that dies answers as cancelled and the next call starts a new one;
// without any helper every call is cancelled.
TEST_F(DialogsProcessTest, ADeadOrMissingHelperCancels) {
  Answer({"die", "reply options cancelled", "reply menu command=32771"});
  EXPECT_EQ(dialogs_.TrackMenu({5, 5}, kBarMenu), 0);
  BarSettings settings;
  EXPECT_FALSE(dialogs_.RunOptions(settings));
  EXPECT_EQ(dialogs_.TrackMenu({5, 5}, kBarMenu), ID_MENU_ABOUT);
  EXPECT_EQ(Starts(), 2);

  DialogsProcess missing(loop_, [this] { return owner_; },
                         {"/nonexistent/vantrel-dialogs", "/nowhere/helper"});
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(missing.TrackMenu({5, 5}, kBarMenu), 0);
  settings.connection = "eth0";
  EXPECT_FALSE(missing.RunOptions(settings));
  EXPECT_EQ(settings.connection, "eth0");
  missing.RunAbout();
  missing.CancelAll();
  const std::string told = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << "said once: " << told;
  EXPECT_NE(told.find("/nonexistent/vantrel-dialogs, /nowhere/helper"), std::string::npos) << told;
}

// A helper that never says it received a request (stopped), or that ignores
// the bar's cancel (hung), is ended in time, so a bar asked to end is not
// held; the next call starts a new helper. Ended helpers leave no zombie.
TEST_F(DialogsProcessTest, AHelperThatDoesNotAnswerIsEndedAndTheNextCallStartsAnother) {
  Answer({"stop", "hang", "last menu command=32771"});
  DialogsProcess dialogs(loop_, [this] { return owner_; }, {FAKE_DIALOGS_HELPER},
                         {std::chrono::milliseconds(300), std::chrono::milliseconds(250)});
  bool cancel = false;
  int ticks = 0;
  loop_.StartTimer(20, [&] {
    if (cancel) dialogs.CancelAll();
    if (++ticks == 500) loop_.Quit(1);  // held for ten seconds
  });
  // Every helper started has ended and been reaped by the client, within
  // 25 rounds of the loop (half a second) of its end.
  const auto reaped = [this] {
    bool gone = false;
    int unreaped = 0;
    loop_.RunUntil([&] {
      siginfo_t ended{};
      const int result = waitid(P_ALL, 0, &ended, WEXITED | WNOHANG | WNOWAIT);
      gone = result < 0 && errno == ECHILD;
      if (result == 0 && ended.si_pid != 0) ++unreaped;
      return gone || unreaped > 25;
    });
    return gone;
  };
  EXPECT_EQ(dialogs.TrackMenu({5, 5}, kBarMenu), 0);
  EXPECT_TRUE(reaped()) << "the stopped helper";
  cancel = true;
  dialogs.RunAbout();
  cancel = false;
  EXPECT_TRUE(reaped()) << "the hung helper";
  // This one ends on its own after its answer, while the bar idles.
  EXPECT_EQ(dialogs.TrackMenu({5, 5}, kBarMenu), ID_MENU_ABOUT);
  EXPECT_TRUE(reaped());
  EXPECT_FALSE(loop_.QuitRequested());
  EXPECT_EQ(Starts(), 3);
  loop_.StopTimer();
}

}  // namespace
}  // namespace vantrel
