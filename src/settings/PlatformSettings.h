#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "settings/RunAtStartup.h"
#include "settings/SettingsStore.h"

namespace vantrel {

// The services of the platform this program was built for. Each platform
// adapter library (vantrel_settings_platform) defines them; CMake links
// exactly one.

// The per-user store of `application`'s settings, kept under `company`.
// A company or application name that cannot name a file gives a store that
// reads only defaults and cannot be written.
std::unique_ptr<SettingsStore> CreatePlatformSettingsStore(std::string_view company,
                                                           std::string_view application);

// The start-at-login entry of the running executable.
std::unique_ptr<RunAtStartup> CreatePlatformRunAtStartup();

// The running executable's file name without directory and extension: the
// name under which its settings are kept.
std::string PlatformApplicationName();

}  // namespace vantrel
