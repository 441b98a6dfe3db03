#include "settings/ApplyOptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/options/FakeOptionsEffects.h"

namespace vantrel {
namespace {

using ::testing::ElementsAre;
using testing::OptionsJournal;

BarSettings Configured() {
  BarSettings s;
  s.connection = "Intel(R) Ethernet Connection";
  s.position = 1;
  s.runAtStartup = 1;
  return s;
}

TEST(ApplyOptionsTest, EveryStepRunsInOrder) {
  BarSettings live = Configured();
  BarSettings edited = live;
  edited.position = 0;
  edited.connection = "Wireless adapter";
  edited.runAtStartup = 0;
  edited.bgColor = MakeColor(1, 2, 3);
  OptionsJournal journal;
  journal.registered = true;

  ApplyOptions(live, edited, journal, journal);

  EXPECT_THAT(journal.calls, ElementsAre("dock top", "reset history", "unregister", "save", "repaint"));
  EXPECT_EQ(live, edited);
  ASSERT_EQ(journal.saved.size(), 1u);
  EXPECT_EQ(journal.saved[0], edited);
}

// The docking code still finds the old settings in place when it runs.
TEST(ApplyOptionsTest, DocksBeforeTheCopyIsTakenOver) {
  struct DockWatcher final : OptionsEffects {
    explicit DockWatcher(const BarSettings& live) : live(live) {}
    void DockToEdge(DockEdge) override { positionWhenDocking = live.position; }
    void ResetHistory() override { connectionWhenResetting = live.connection; }
    void SaveSettings(const BarSettings& s) override { positionWhenSaving = s.position; }
    void Repaint() override {}
    const BarSettings& live;
    int positionWhenDocking = -1;
    int positionWhenSaving = -1;
    std::string connectionWhenResetting;
  };
  BarSettings live = Configured();
  BarSettings edited = live;
  edited.position = 0;
  edited.connection = "other";
  DockWatcher watcher(live);
  OptionsJournal startup;
  startup.registered = true;

  ApplyOptions(live, edited, watcher, startup);

  EXPECT_EQ(watcher.positionWhenDocking, 1);
  EXPECT_EQ(watcher.connectionWhenResetting, "Intel(R) Ethernet Connection");
  EXPECT_EQ(watcher.positionWhenSaving, 0);
}

TEST(ApplyOptionsTest, DocksOnlyWhenThePositionChanges) {
  struct Case {
    int live;
    int edited;
    const char* expected;  // nullptr: no docking
  };
  const Case cases[] = {
      {1, 1, nullptr},       {0, 0, nullptr},       {5, 5, nullptr},    {1, 0, "dock top"},
      {0, 1, "dock bottom"}, {5, 1, "dock bottom"}, {5, 0, "dock top"}, {1, 7, "dock top"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.live << " -> " << c.edited);
    BarSettings live = Configured();
    live.position = c.live;
    BarSettings edited = live;
    edited.position = c.edited;
    OptionsJournal journal;
    journal.registered = true;

    ApplyOptions(live, edited, journal, journal);

    if (c.expected == nullptr) {
      EXPECT_THAT(journal.calls, ElementsAre("save", "repaint"));
    } else {
      EXPECT_THAT(journal.calls, ElementsAre(c.expected, "save", "repaint"));
    }
    EXPECT_EQ(live.position, c.edited);
  }
}

TEST(ApplyOptionsTest, ResetsTheHistoryOnlyWhenTheConnectionDiffersByteForByte) {
  struct Case {
    std::string live;
    std::string edited;
    bool resets;
  };
  const Case cases[] = {
      {"eth0", "eth0", false}, {"", "", false},
      {"eth0", "ETH0", true},   // letter case counts
      {"eth0", "eth0 ", true},  // so does a trailing blank
      {"", "eth0", true},       // first choice of an interface
      {"eth0", "", true},      {std::string("a\xC3\xA9", 3), std::string("a\xC3\xA8", 3), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + c.live + "' -> '" + c.edited + "'");
    BarSettings live = Configured();
    live.connection = c.live;
    BarSettings edited = live;
    edited.connection = c.edited;
    OptionsJournal journal;
    journal.registered = true;

    ApplyOptions(live, edited, journal, journal);

    if (c.resets) {
      EXPECT_THAT(journal.calls, ElementsAre("reset history", "save", "repaint"));
    } else {
      EXPECT_THAT(journal.calls, ElementsAre("save", "repaint"));
    }
    EXPECT_EQ(live.connection, c.edited);
  }
}

TEST(ApplyOptionsTest, BringsTheStartAtLoginEntryInLine) {
  struct Case {
    int wanted;
    bool registered;
    std::vector<std::string> calls;
    bool registeredAfter;
  };
  const Case cases[] = {
      {1, false, {"register", "save", "repaint"}, true},   {1, true, {"save", "repaint"}, true},
      {0, true, {"unregister", "save", "repaint"}, false}, {0, false, {"save", "repaint"}, false},
      {2, false, {"register", "save", "repaint"}, true},  // any non-zero value asks for the entry
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "wanted " << c.wanted << ", registered " << c.registered);
    BarSettings live = Configured();
    live.runAtStartup = c.wanted;
    const BarSettings edited = live;
    OptionsJournal journal;
    journal.registered = c.registered;

    ApplyOptions(live, edited, journal, journal);

    EXPECT_EQ(journal.calls, c.calls);
    EXPECT_EQ(journal.registered, c.registeredAfter);
  }
}

// A start-at-login entry that cannot be written changes nothing else: the
// ticked box stays in the settings, and saving and repainting still follow.
TEST(ApplyOptionsTest, FailedRegistrationIsIgnored) {
  BarSettings live = Configured();
  live.runAtStartup = 0;
  BarSettings edited = live;
  edited.runAtStartup = 1;
  OptionsJournal journal;
  journal.writable = false;

  ApplyOptions(live, edited, journal, journal);

  EXPECT_THAT(journal.calls, ElementsAre("register", "save", "repaint"));
  EXPECT_EQ(live.runAtStartup, 1);
  EXPECT_FALSE(journal.registered);
}

}  // namespace
}  // namespace vantrel
