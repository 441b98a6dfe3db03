#include <windows.h>

#include <string>

#include "settings/ApplicationName.h"
#include "settings/PlatformSettings.h"
#include "settings/null/MemorySettingsStore.h"
#include "settings/null/NullRunAtStartup.h"
#include "traffic/win32/WideText.h"

namespace vantrel {
namespace {

// Windows takes both slashes between the parts of a path.
constexpr std::string_view kPathSeparators = "\\/";

// The running executable's full path in UTF-8, or "" when it cannot be had.
std::string ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return {};  // longer than any Windows path
    path.resize(path.size() * 2);
  }
  std::string utf8;
  AssignUtf8(utf8, path);
  return utf8;
}

}  // namespace

std::unique_ptr<SettingsStore> CreatePlatformSettingsStore(std::string_view, std::string_view) {
  return std::make_unique<MemorySettingsStore>();
}

std::unique_ptr<RunAtStartup> CreatePlatformRunAtStartup() {
  return std::make_unique<NullRunAtStartup>();
}

std::string PlatformApplicationName() {
  return SettingsApplicationName(ExecutablePath(), kPathSeparators);
}

}  // namespace vantrel
