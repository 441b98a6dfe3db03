#include "settings/SettingsPersistence.h"

#include <string_view>

#include "traffic/ConnectionText.h"

namespace vantrel {
namespace {

constexpr std::string_view kTopLevel = "";
constexpr std::string_view kGui = "GUI";

// Stored in "Run at startup" by no one: reading it means no value was ever
// stored for this user.
constexpr std::int32_t kNeverStored = 2;

struct ColorValue {
  std::string_view name;
  Color BarSettings::*field;
};

// The colours in the order they are read and written.
constexpr ColorValue kColors[] = {
    {"BG Color", &BarSettings::bgColor},
    {"Graph Color", &BarSettings::graphColor},
    {"Label Color", &BarSettings::labelColor},
    {"Text Color", &BarSettings::textColor},
    {"Download Color", &BarSettings::downloadColor},
    {"Upload Color", &BarSettings::uploadColor},
};

}  // namespace

void LoadSettings(BarSettings& s, SettingsStore& store, RunAtStartup& runAtStartup) {
  const BarSettings defaults;

  s.connection = std::string(ClipConnectionText(store.ReadString(kTopLevel, "Connection", "")));
  s.automaticConnection = store.ReadInt(kTopLevel, "Automatic Connection", defaults.automaticConnection);

  s.runAtStartup = store.ReadInt(kTopLevel, "Run at startup", kNeverStored);
  if (s.runAtStartup == kNeverStored) {
    s.runAtStartup = 1;
    runAtStartup.RegisterRunAtStartup();
  }

  s.position = store.ReadInt(kGui, "Position", defaults.position);
  for (const ColorValue& color : kColors) {
    s.*color.field =
        static_cast<Color>(store.ReadInt(kGui, color.name, static_cast<std::int32_t>(defaults.*color.field)));
  }
  s.units = store.ReadInt(kGui, "Units", defaults.units);
}

bool SaveSettings(const BarSettings& s, SettingsStore& store, RunAtStartup& runAtStartup) {
  store.WriteString(kTopLevel, "Connection", ClipConnectionText(s.connection));
  store.WriteInt(kTopLevel, "Automatic Connection", s.automaticConnection);
  store.WriteInt(kTopLevel, "Run at startup", runAtStartup.IsRunAtStartupRegistered() ? 1 : 0);
  store.WriteInt(kGui, "Position", s.position);
  for (const ColorValue& color : kColors) {
    store.WriteInt(kGui, color.name, static_cast<std::int32_t>(s.*color.field));
  }
  store.WriteInt(kGui, "Units", s.units);
  return store.Sync();
}

}  // namespace vantrel
