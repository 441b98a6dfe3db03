#include "settings/ApplyOptions.h"

#include <gtest/gtest.h>

#include "settings/options/FakeOptionsEffects.h"

namespace vantrel {
namespace {

using testing::OptionsJournal;

// Re-docks only for a changed edge, resets the history only for a connection
// that differs byte for byte, brings the start-at-login entry in line with the
// box, then saves and repaints, in this order.
TEST(ApplyOptionsTest, RunsOnlyTheStepsTheChangesCallForInOrder) {
  struct Case {
    int livePosition, editedPosition;
    std::string liveConnection, editedConnection;
    int runAtStartup;
    bool registered;
    std::vector<std::string> steps;  // before "save", "repaint"
    bool writable = true;            // false: the entry cannot be written
  };
  const std::string e = "eth0";
  const Case cases[] = {
      {1, 0, e, "wlan0", 0, true, {"dock top", "reset history", "unregister"}},
      {1, 1, e, e, 1, true, {}},
      {1, 0, e, e, 1, true, {"dock top"}},
      {0, 1, e, e, 1, true, {"dock bottom"}},
      {5, 1, e, e, 1, true, {"dock bottom"}},
      {1, 7, e, e, 1, true, {"dock top"}},
      {1, 1, e, "ETH0", 1, true, {"reset history"}},   // letter case counts
      {1, 1, e, "eth0 ", 1, true, {"reset history"}},  // so does a trailing blank
      {1, 1, "", e, 1, true, {"reset history"}},       // first choice of an interface
      {1, 1, "a\xC3\xA9", "a\xC3\xA8", 1, true, {"reset history"}},
      {1, 1, e, e, 1, false, {"register"}},
      {1, 1, e, e, 0, true, {"unregister"}},
      {1, 1, e, e, 0, false, {}},
      // A failed registration changes nothing else: the ticked box stays in
      // the settings, and saving and repainting still follow.
      {1, 1, e, e, 1, false, {"register"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.livePosition << " -> " << c.editedPosition << ", '" << c.liveConnection << "' -> '"
                 << c.editedConnection << "', " << c.runAtStartup << (c.registered ? " registered" : ""));
    BarSettings live;
    live.position = c.livePosition;
    live.connection = c.liveConnection;
    BarSettings edited = live;
    edited.position = c.editedPosition;
    edited.connection = c.editedConnection;
    edited.runAtStartup = c.runAtStartup;
    edited.bgColor = MakeColor(1, 2, 3);
    OptionsJournal journal;
    journal.registered = c.registered;
    journal.writable = c.writable;

    ApplyOptions(live, edited, journal, journal);

    std::vector<std::string> expected = c.steps;
    expected.insert(expected.end(), {"save", "repaint"});
    EXPECT_EQ(journal.calls, expected);
    EXPECT_EQ(journal.registered, c.runAtStartup != 0 && c.writable);
    EXPECT_EQ(live, edited);
    ASSERT_EQ(journal.saved.size(), 1u);
    EXPECT_EQ(journal.saved[0], edited);
  }
}

// While Automatic is on the link watched is the bar's: a copy that still
// names the link of the dialog's opening neither replaces nor resets it.
TEST(ApplyOptionsTest, WithAutomaticOnTheBarKeepsTheLinkItWatchesNow) {
  BarSettings live;
  live.connection = "wlan0";  // the bar moved on while the dialog was open
  BarSettings edited = live;
  edited.connection = "eth0";
  edited.automaticConnection = 1;
  OptionsJournal journal;
  journal.registered = true;
  ApplyOptions(live, edited, journal, journal);
  EXPECT_EQ(live.connection, "wlan0");
  EXPECT_EQ(live.automaticConnection, 1);
  EXPECT_EQ(journal.calls, (std::vector<std::string>{"save", "repaint"}));
}

}  // namespace
}  // namespace vantrel
