#include "settings/SettingsPersistence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/null/MemorySettingsStore.h"

namespace vantrel {
namespace {

// A start-at-login entry whose state the test sets and watches.
class FakeRunAtStartup final : public RunAtStartup {
 public:
  bool RegisterRunAtStartup() override {
    ++registerCalls;
    if (canRegister) registered = true;
    return canRegister;
  }
  bool UnregisterRunAtStartup() override {
    const bool was = registered;
    registered = false;
    return was;
  }
  bool IsRunAtStartupRegistered() override { return registered; }

  bool registered = false;
  bool canRegister = true;
  int registerCalls = 0;
};

// The in-memory store, with a journal of the calls made to it.
class JournalStore final : public SettingsStore {
 public:
  std::int32_t ReadInt(std::string_view section, std::string_view name, std::int32_t fallback) override {
    journal.push_back("read " + Key(section, name));
    return values.ReadInt(section, name, fallback);
  }
  std::string ReadString(std::string_view section, std::string_view name,
                         std::string_view fallback) override {
    journal.push_back("read " + Key(section, name));
    return values.ReadString(section, name, fallback);
  }
  bool WriteInt(std::string_view section, std::string_view name, std::int32_t value) override {
    journal.push_back("write " + Key(section, name) + "=" + std::to_string(value));
    return values.WriteInt(section, name, value);
  }
  bool WriteString(std::string_view section, std::string_view name, std::string_view value) override {
    journal.push_back("write " + Key(section, name) + "=" + std::string(value));
    return values.WriteString(section, name, value);
  }
  bool Sync() override {
    journal.push_back("sync");
    return true;
  }

  MemorySettingsStore values;
  std::vector<std::string> journal;

 private:
  static std::string Key(std::string_view section, std::string_view name) {
    return std::string(section) + "/" + std::string(name);
  }
};

BarSettings Loaded(SettingsStore& store, RunAtStartup& runAtStartup) {
  BarSettings s;
  s.connection = "left over";
  s.position = 99;
  s.bgColor = 0xDEADBEEF;
  LoadSettings(s, store, runAtStartup);
  return s;
}

TEST(LoadSettings, FirstStartGivesTheDefaultsAndRegistersAtOnce) {
  MemorySettingsStore store;
  FakeRunAtStartup autostart;
  const BarSettings s = Loaded(store, autostart);

  EXPECT_EQ(s.connection, "");
  EXPECT_EQ(s.bgColor, 0x00307010u);
  EXPECT_EQ(s.textColor, 0x00FFFFFFu);
  EXPECT_EQ(s.labelColor, 0x00C0C0C0u);
  EXPECT_EQ(s.graphColor, 0u);
  EXPECT_EQ(s.downloadColor, 0x001030C0u);
  EXPECT_EQ(s.uploadColor, 0x0030C0C0u);
  EXPECT_EQ(s.position, 1);
  EXPECT_EQ(s.runAtStartup, 1);
  EXPECT_EQ(autostart.registerCalls, 1);
  EXPECT_TRUE(autostart.registered);
  EXPECT_EQ(store.Size(), 0u) << "loading stores nothing";
}

TEST(LoadSettings, ReadsInOrderFromTheTopLevelAndTheGuiSection) {
  JournalStore store;
  FakeRunAtStartup autostart;
  Loaded(store, autostart);
  const std::vector<std::string> expected = {
      "read /Connection",    "read /Run at startup",    "read GUI/Position",
      "read GUI/BG Color",   "read GUI/Graph Color",    "read GUI/Label Color",
      "read GUI/Text Color", "read GUI/Download Color", "read GUI/Upload Color",
  };
  EXPECT_EQ(store.journal, expected);
}

TEST(LoadSettings, StoredValuesAreTakenUnchanged) {
  MemorySettingsStore store;
  store.WriteString("", "Connection", "Intel(R) Ethernet Connection I219-V");
  store.WriteInt("", "Run at startup", 0);
  store.WriteInt("GUI", "Position", 7);
  store.WriteInt("GUI", "BG Color", static_cast<std::int32_t>(0xFF000001u));
  store.WriteInt("GUI", "Text Color", 0x00123456);
  store.WriteInt("GUI", "Label Color", -1);
  store.WriteInt("GUI", "Graph Color", 0x00010203);
  store.WriteInt("GUI", "Download Color", 0x00040506);
  store.WriteInt("GUI", "Upload Color", 0x00070809);
  FakeRunAtStartup autostart;
  const BarSettings s = Loaded(store, autostart);

  EXPECT_EQ(s.connection, "Intel(R) Ethernet Connection I219-V");
  EXPECT_EQ(s.runAtStartup, 0);
  EXPECT_EQ(s.position, 7) << "no value is clamped";
  EXPECT_EQ(s.bgColor, 0xFF000001u) << "the top byte of a colour is kept";
  EXPECT_EQ(s.textColor, 0x00123456u);
  EXPECT_EQ(s.labelColor, 0xFFFFFFFFu);
  EXPECT_EQ(s.graphColor, 0x00010203u);
  EXPECT_EQ(s.downloadColor, 0x00040506u);
  EXPECT_EQ(s.uploadColor, 0x00070809u);
  EXPECT_EQ(autostart.registerCalls, 0);
}

TEST(LoadSettings, RunAtStartupStoredAsOneDoesNotRegisterEvenWithoutAnEntry) {
  MemorySettingsStore store;
  store.WriteInt("", "Run at startup", 1);
  FakeRunAtStartup autostart;
  EXPECT_EQ(Loaded(store, autostart).runAtStartup, 1);
  EXPECT_EQ(autostart.registerCalls, 0);
}

TEST(LoadSettings, RunAtStartupStoredAsTwoBehavesAsMissing) {
  MemorySettingsStore store;
  store.WriteInt("", "Run at startup", 2);
  FakeRunAtStartup autostart;
  EXPECT_EQ(Loaded(store, autostart).runAtStartup, 1);
  EXPECT_EQ(autostart.registerCalls, 1);
}

TEST(LoadSettings, OtherRunAtStartupValuesAreKeptAsTheyAre) {
  for (const std::int32_t stored : {-1, 3, 1000}) {
    MemorySettingsStore store;
    store.WriteInt("", "Run at startup", stored);
    FakeRunAtStartup autostart;
    EXPECT_EQ(Loaded(store, autostart).runAtStartup, stored);
    EXPECT_EQ(autostart.registerCalls, 0) << stored;
  }
}

TEST(LoadSettings, ValuesOfTheWrongKindReadAsDefaults) {
  MemorySettingsStore store;
  store.WriteString("GUI", "Position", "0");
  store.WriteString("", "Run at startup", "0");
  store.WriteInt("", "Connection", 5);
  FakeRunAtStartup autostart;
  const BarSettings s = Loaded(store, autostart);
  EXPECT_EQ(s.position, 1);
  EXPECT_EQ(s.connection, "");
  EXPECT_EQ(s.runAtStartup, 1);
  EXPECT_EQ(autostart.registerCalls, 1);
}

TEST(LoadSettings, ALongConnectionIsCutTo255BytesOnACharacterBoundary) {
  MemorySettingsStore store;
  FakeRunAtStartup autostart;

  store.WriteString("", "Connection", std::string(300, 'x'));
  EXPECT_EQ(Loaded(store, autostart).connection, std::string(255, 'x'));

  // "é" is two bytes; the second would be byte 256, so both go.
  store.WriteString("", "Connection", std::string(254, 'x') + "\xC3\xA9" + "tail");
  EXPECT_EQ(Loaded(store, autostart).connection, std::string(254, 'x'));

  const std::string fits = std::string(253, 'x') + "\xC3\xA9";
  store.WriteString("", "Connection", fits + "tail");
  EXPECT_EQ(Loaded(store, autostart).connection, fits);
}

TEST(SaveSettings, WritesTheNineValuesInOrderThenSyncsOnce) {
  JournalStore store;
  FakeRunAtStartup autostart;
  autostart.registered = true;
  BarSettings s;
  s.connection = "eth0";
  s.position = 0;
  s.bgColor = 0xFF000000u;
  SaveSettings(s, store, autostart);

  const std::vector<std::string> expected = {
      "write /Connection=eth0",         "write /Run at startup=1",
      "write GUI/Position=0",           "write GUI/BG Color=-16777216",
      "write GUI/Graph Color=0",        "write GUI/Label Color=12632256",
      "write GUI/Text Color=16777215",  "write GUI/Download Color=1061056",
      "write GUI/Upload Color=3195072", "sync",
  };
  EXPECT_EQ(store.journal, expected);
}

TEST(SaveSettings, StoresTheRealStateOfTheEntryNotTheField) {
  MemorySettingsStore store;
  FakeRunAtStartup autostart;
  BarSettings s;

  s.runAtStartup = 1;
  autostart.registered = false;
  SaveSettings(s, store, autostart);
  EXPECT_EQ(store.ReadInt("", "Run at startup", -5), 0);

  s.runAtStartup = 0;
  autostart.registered = true;
  SaveSettings(s, store, autostart);
  EXPECT_EQ(store.ReadInt("", "Run at startup", -5), 1);
}

TEST(SaveSettings, AFailedFirstStartRegistrationIsStoredAsOffAndNotRetried) {
  MemorySettingsStore store;
  FakeRunAtStartup autostart;
  autostart.canRegister = false;

  BarSettings s = Loaded(store, autostart);
  EXPECT_EQ(s.runAtStartup, 1) << "the box shows ticked for this run";
  SaveSettings(s, store, autostart);
  EXPECT_EQ(store.ReadInt("", "Run at startup", -5), 0);

  s = Loaded(store, autostart);
  EXPECT_EQ(s.runAtStartup, 0);
  EXPECT_EQ(autostart.registerCalls, 1);
}

TEST(SaveSettings, RoundTripsEveryFieldThroughTheStore) {
  MemorySettingsStore store;
  FakeRunAtStartup autostart;
  autostart.registered = true;
  BarSettings s;
  s.connection = "Realtek PCIe GbE Family Controller #2";
  s.bgColor = 0x01020304u;
  s.textColor = 0x80808080u;
  s.labelColor = 0;
  s.graphColor = 0xFFFFFFFFu;
  s.downloadColor = 0x00ABCDEFu;
  s.uploadColor = 0x7FFFFFFFu;
  s.position = -2147483647 - 1;
  s.runAtStartup = 1;
  SaveSettings(s, store, autostart);

  EXPECT_EQ(Loaded(store, autostart), s);
  EXPECT_EQ(autostart.registerCalls, 0);
}

TEST(SaveSettings, ATooLongConnectionInTheRecordIsStoredCut) {
  MemorySettingsStore store;
  FakeRunAtStartup autostart;
  BarSettings s;
  s.connection = std::string(254, 'y') + "\xE2\x82\xAC";  // a three-byte euro sign across byte 255
  SaveSettings(s, store, autostart);
  EXPECT_EQ(store.ReadString("", "Connection", "?"), std::string(254, 'y'));
}

TEST(MemorySettingsStore, KeepsTextUpToTheFirstNul) {
  MemorySettingsStore store;
  store.WriteString("", "Connection", std::string_view("eth\0tail", 8));
  EXPECT_EQ(store.ReadString("", "Connection", "?"), "eth");
  EXPECT_EQ(store.ReadString("GUI", "Connection", "fallback"), "fallback") << "sections are separate";
}

}  // namespace
}  // namespace vantrel
