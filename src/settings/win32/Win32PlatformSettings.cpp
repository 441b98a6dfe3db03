#include <windows.h>

#include <string>

#include "settings/ApplicationName.h"
#include "settings/PlatformSettings.h"
#include "settings/win32/ExecutablePath.h"
#include "settings/win32/RegistrySettingsStore.h"
#include "settings/win32/RunKeyStartup.h"
#include "traffic/win32/WideText.h"

namespace vantrel {
namespace {

// Windows takes both slashes between the parts of a path.
constexpr std::string_view kPathSeparators = "\\/";

}  // namespace

// The settings live in HKEY_CURRENT_USER\Software\<company>\<application>.
std::unique_ptr<SettingsStore> CreatePlatformSettingsStore(std::string_view company,
                                                           std::string_view application) {
  std::wstring path;
  if (IsPlainFileName(company, kPathSeparators) && IsPlainFileName(application, kPathSeparators)) {
    path = L"Software\\" + WideFromUtf8(company) + L"\\" + WideFromUtf8(application);
  }
  return std::make_unique<RegistrySettingsStore>(HKEY_CURRENT_USER, std::move(path));
}

std::unique_ptr<RunAtStartup> CreatePlatformRunAtStartup() {
  return std::make_unique<RunKeyStartup>(UserRunKey(), MachineRunKeys(), ExecutablePath());
}

std::string PlatformApplicationName() {
  std::string path;
  AssignUtf8(path, ExecutablePath());
  return SettingsApplicationName(path, kPathSeparators);
}

}  // namespace vantrel
