#include "settings/ApplicationName.h"
#include "settings/PlatformSettings.h"
#include "settings/linux/IniFileStore.h"
#include "settings/linux/XdgAutostart.h"
#include "settings/linux/XdgPaths.h"

namespace vantrel {
namespace {

constexpr std::string_view kPathSeparators = "/";

}  // namespace

// The settings live in $XDG_CONFIG_HOME/<company>/<application>.conf.
std::unique_ptr<SettingsStore> CreatePlatformSettingsStore(std::string_view company,
                                                           std::string_view application) {
  const std::string configHome = XdgConfigHome();
  std::string path;
  if (!configHome.empty() && IsPlainFileName(company, kPathSeparators) &&
      IsPlainFileName(application, kPathSeparators)) {
    path = configHome + "/" + std::string(company) + "/" + std::string(application) + ".conf";
  }
  return std::make_unique<IniFileStore>(std::move(path));
}

// The entry lives in $XDG_CONFIG_HOME/autostart, for this user only.
std::unique_ptr<RunAtStartup> CreatePlatformRunAtStartup() {
  const std::string configHome = XdgConfigHome();
  return std::make_unique<XdgAutostart>(configHome.empty() ? std::string() : configHome + "/autostart",
                                        CurrentExecutablePath());
}

std::string PlatformApplicationName() {
  return SettingsApplicationName(CurrentExecutablePath(), kPathSeparators);
}

}  // namespace vantrel
