#include "settings/win32/RegistrySettingsStore.h"

#include <gtest/gtest.h>

#include "settings/PlatformSettings.h"
#include "settings/SettingsPersistence.h"
#include "settings/win32/RegistryTestKeys.h"
#include "support/FakeRunAtStartup.h"
#include "traffic/win32/WideText.h"

namespace vantrel {
namespace {

using testing::Dword;
using testing::FakeRunAtStartup;
using testing::GetRaw;
using testing::RawValue;
using testing::SetRaw;
using testing::Text;

// A record in which every field differs from its default.
BarSettings Chosen() {
  return {.connection = "Intel\xC2\xAE Ethernet \xE2\x80\x94 #2",
          .bgColor = 0xFF010203,  // the top byte is kept
          .textColor = 1,
          .labelColor = 2,
          .graphColor = 3,
          .downloadColor = 4,
          .uploadColor = 5,
          .position = 7,
          .runAtStartup = 0,
          .automaticConnection = 1};
}

class RegistrySettingsStoreTest : public ::testing::Test {
 protected:
  std::wstring Gui() const { return key_.path() + L"\\GUI"; }

  BarSettings Load() {
    RegistrySettingsStore store(HKEY_CURRENT_USER, key_.path());
    BarSettings s;
    LoadSettings(s, store, startup_);
    return s;
  }
  void Save(const BarSettings& s) {
    RegistrySettingsStore store(HKEY_CURRENT_USER, key_.path());
    SaveSettings(s, store, startup_);
  }

  testing::ScratchKey key_{HKEY_CURRENT_USER, L"Software\\Brindle Labs"};
  FakeRunAtStartup startup_;
};

TEST_F(RegistrySettingsStoreTest, FirstStartGivesTheDefaultsAndRegistersWithoutCreatingKeys) {
  BarSettings expected;
  EXPECT_EQ(Load(), expected);
  EXPECT_EQ(startup_.registerCalls, 1);
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, key_.path().c_str(), 0, KEY_READ, &key), ERROR_SUCCESS)
      << "reads create no key";
}

// The layout other tools (and older copies) see: value names, kinds, sections.
TEST_F(RegistrySettingsStoreTest, SaveWritesEachValueAsItsKindInItsKey) {
  const BarSettings s = Chosen();
  startup_.registered = true;
  Save(s);
  struct Expected {
    std::wstring key;
    const wchar_t* name;
    RawValue value;
  };
  const Expected values[] = {
      {key_.path(), L"Connection", Text(L"Intel\u00AE Ethernet \u2014 #2")},
      {key_.path(), L"Run at startup", Dword(1)},
      {key_.path(), L"Automatic Connection", Dword(1)},
      {Gui(), L"Position", Dword(7)},
      {Gui(), L"BG Color", Dword(0xFF010203)},
      {Gui(), L"Text Color", Dword(1)},
      {Gui(), L"Label Color", Dword(2)},
      {Gui(), L"Graph Color", Dword(3)},
      {Gui(), L"Download Color", Dword(4)},
      {Gui(), L"Upload Color", Dword(5)},
  };
  for (const Expected& e : values) {
    const std::optional<RawValue> stored = GetRaw(HKEY_CURRENT_USER, e.key, e.name);
    ASSERT_TRUE(stored) << e.name;
    EXPECT_EQ(stored->type, e.value.type) << e.name;
    EXPECT_EQ(stored->bytes, e.value.bytes) << e.name;
  }
  BarSettings back = s;
  back.runAtStartup = 1;  // the entry's real state was stored
  EXPECT_EQ(Load(), back);
  EXPECT_EQ(startup_.registerCalls, 0);
}

TEST_F(RegistrySettingsStoreTest, PlatformStoreKeepsTheSettingsUnderTheCompanyAndApplication) {
  const std::wstring application = key_.path().substr(key_.path().rfind(L'\\') + 1);
  std::string name;
  AssignUtf8(name, application);
  CreatePlatformSettingsStore("Brindle Labs", name)->WriteInt("GUI", "Position", 0);
  EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, Gui(), L"Position")->bytes, Dword(0).bytes);
  // Names that would leave the company's key write nowhere.
  for (const char* bad : {"", "..\\Other", "a\\b"}) {
    auto store = CreatePlatformSettingsStore("Brindle Labs", bad);
    EXPECT_FALSE(store->WriteInt("", "Position", 1)) << bad;
    EXPECT_EQ(store->ReadInt("", "Position", 42), 42) << bad;
  }
}

// Each value of a chosen record replaced by something the program never
// writes: that field reads as its default, every other one as stored.
struct Hostile {
  const char* what;
  const wchar_t* key;  // L"" the application key, else its subkey
  const wchar_t* name;
  RawValue value;
  void (*expect)(BarSettings&);  // turns the chosen record into the expected one
};

const BarSettings kDefaults;

const Hostile kHostile[] = {
    {"integer as text", L"GUI", L"Position", Text(L"0"), [](BarSettings& s) { s.position = 1; }},
    {"short integer",
     L"GUI",
     L"Label Color",
     {REG_DWORD, {1, 2}},
     [](BarSettings& s) { s.labelColor = kDefaults.labelColor; }},
    {"big-endian integer",
     L"GUI",
     L"Graph Color",
     {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 9}},
     [](BarSettings& s) { s.graphColor = kDefaults.graphColor; }},
    {"text as integer", L"", L"Connection", Dword(5), [](BarSettings& s) { s.connection.clear(); }},
    {"list of texts", L"", L"Connection", Text(L"eth0", REG_MULTI_SZ, 2),
     [](BarSettings& s) { s.connection.clear(); }},
    {"text without NUL and with an odd byte", L"", L"Connection", Text(L"eth0", REG_SZ, 0, 1),
     [](BarSettings& s) { s.connection = "eth0"; }},
    {"text with a NUL inside", L"", L"Connection", Text(std::wstring(L"eth0\0junk", 9)),
     [](BarSettings& s) { s.connection = "eth0"; }},
    {"unpaired surrogate", L"", L"Connection", Text(L"a\xD800z"),
     [](BarSettings& s) { s.connection = "a\xEF\xBF\xBDz"; }},
    {"over-long text", L"", L"Connection", Text(std::wstring(300000, L'\u00E9')),
     [](BarSettings& s) {
       s.connection.clear();
       for (int i = 0; i < 127; ++i) s.connection += "\xC3\xA9";  // 254 bytes: no half character
     }},
    {"section as a value", L"", L"GUI", Dword(1), [](BarSettings&) {}},
};

TEST_F(RegistrySettingsStoreTest, HostileValuesGiveDefaultsAndLeaveTheRestAlone) {
  for (const Hostile& h : kHostile) {
    SCOPED_TRACE(h.what);
    startup_ = FakeRunAtStartup();
    Save(Chosen());
    const std::wstring key = *h.key ? key_.path() + L"\\" + h.key : key_.path();
    ASSERT_TRUE(SetRaw(HKEY_CURRENT_USER, key, h.name, h.value));
    BarSettings expected = Chosen();
    h.expect(expected);
    startup_ = FakeRunAtStartup();
    EXPECT_EQ(Load(), expected);
    EXPECT_EQ(startup_.registerCalls, expected.runAtStartup == Chosen().runAtStartup ? 0 : 1);
  }
}

}  // namespace
}  // namespace vantrel
