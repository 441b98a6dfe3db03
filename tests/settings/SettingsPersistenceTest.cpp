#include "settings/SettingsPersistence.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/null/MemorySettingsStore.h"
#include "support/FakeRunAtStartup.h"

namespace vantrel {
namespace {

using testing::FakeRunAtStartup;

// Loads into a record that holds other values, so that every field must be set.
BarSettings Loaded(SettingsStore& store, RunAtStartup& runAtStartup) {
  BarSettings s{.connection = "left over", .bgColor = 0xDEADBEEF, .position = 99};
  LoadSettings(s, store, runAtStartup);
  return s;
}

TEST(LoadSettings, RunAtStartupIsTakenAsStoredButTwoMeansNeverStored) {
  struct Case {
    std::optional<std::int32_t> stored;
    std::int32_t field;
    bool registers;
  };
  const Case cases[] = {{std::nullopt, 1, true}, {2, 1, true},    {1, 1, false},
                        {0, 0, false},           {-1, -1, false}, {1000, 1000, false}};
  for (const Case& c : cases) {
    MemorySettingsStore store;
    if (c.stored) store.WriteInt("", "Run at startup", *c.stored);
    FakeRunAtStartup autostart;  // no entry: a stored 1 still registers nothing
    BarSettings expected;        // every other field is missing and gets its default
    expected.runAtStartup = c.field;
    EXPECT_EQ(Loaded(store, autostart), expected) << c.stored.value_or(-99);
    EXPECT_EQ(store.Size(), c.stored ? 1u : 0u) << "loading stores nothing";
    EXPECT_EQ(autostart.registerCalls, c.registers ? 1 : 0) << c.stored.value_or(-99);
  }
}

// The field says 1 but the entry is missing, as for a stored 1 whose entry was deleted: the save stores 0.
TEST(SaveSettings, AFailedFirstStartRegistrationIsStoredAsOffAndNotRetried) {
  MemorySettingsStore store;
  FakeRunAtStartup autostart;
  autostart.canRegister = false;

  BarSettings s = Loaded(store, autostart);
  EXPECT_EQ(s.runAtStartup, 1) << "the box shows ticked for this run";
  SaveSettings(s, store, autostart);
  EXPECT_EQ(Loaded(store, autostart).runAtStartup, 0);
  EXPECT_EQ(autostart.registerCalls, 1);
}

TEST(SettingsPersistence, AConnectionLongerThan255BytesIsCutWhenLoadedAndSaved) {
  MemorySettingsStore store;
  FakeRunAtStartup autostart;
  store.WriteString("", "Connection", std::string(300, 'x'));
  EXPECT_EQ(Loaded(store, autostart).connection, std::string(255, 'x'));
  BarSettings s;
  s.connection = std::string(254, 'y') + "\xE2\x82\xAC";  // a three-byte euro sign across byte 255
  SaveSettings(s, store, autostart);
  EXPECT_EQ(store.ReadString("", "Connection", "?"), std::string(254, 'y'));
}

}  // namespace
}  // namespace vantrel
