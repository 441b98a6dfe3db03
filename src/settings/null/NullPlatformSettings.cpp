#include "settings/PlatformSettings.h"
#include "settings/null/MemorySettingsStore.h"
#include "settings/null/NullRunAtStartup.h"

namespace vantrel {

// Without a per-user store the settings last as long as the process.
std::unique_ptr<SettingsStore> CreatePlatformSettingsStore(std::string_view, std::string_view) {
  return std::make_unique<MemorySettingsStore>();
}

std::unique_ptr<RunAtStartup> CreatePlatformRunAtStartup() {
  return std::make_unique<NullRunAtStartup>();
}

std::string PlatformApplicationName() {
  return "Vantrel";
}

}  // namespace vantrel
