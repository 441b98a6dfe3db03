#include "settings/win32/RunKeyStartup.h"

#include <utility>

#include "settings/win32/RegistrySettingsStore.h"

namespace vantrel {
namespace {

constexpr const wchar_t* kRunPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::wstring> ReadEntry(const RunKeyLocation& at) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(at.root, at.path.c_str(), 0, KEY_QUERY_VALUE | at.view, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::optional<std::wstring> entry = ReadRegistryText(key, RunKeyStartup::kValueName);
  RegCloseKey(key);
  return entry;
}

bool DeleteEntry(const RunKeyLocation& at) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(at.root, at.path.c_str(), 0, KEY_SET_VALUE | at.view, &key) != ERROR_SUCCESS)
    return false;
  const bool deleted = RegDeleteValueW(key, RunKeyStartup::kValueName) == ERROR_SUCCESS;
  RegCloseKey(key);
  return deleted;
}

bool WriteEntry(const RunKeyLocation& at, const std::wstring& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(at.root, at.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | at.view,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const bool written =
      RegSetValueExW(key, RunKeyStartup::kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return !a.empty() && a.size() == b.size() &&
         CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

bool IsExistingFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring ShortPathOf(const std::wstring& path) {
  const DWORD size = path.empty() ? 0 : GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring shortPath(size, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), size);
  if (length == 0 || length >= size) return {};
  shortPath.resize(length);
  return shortPath;
}

}  // namespace

std::optional<std::wstring> RunEntryProgram(const std::wstring& entry) {
  std::wstring program = entry;
  if (program.size() >= 2 && program.front() == L'"' && program.back() == L'"') {
    program = program.substr(1, program.size() - 2);
  }
  // Quotes left over mean arguments after a quoted program, or a broken entry.
  if (program.empty() || program.find(L'"') != std::wstring::npos) return std::nullopt;
  return program;
}

RunKeyStartup::RunKeyStartup(RunKeyLocation user, std::vector<RunKeyLocation> machine,
                             std::wstring executablePath)
    : user_(std::move(user)),
      machine_(std::move(machine)),
      executable_(std::move(executablePath)),
      shortExecutable_(ShortPathOf(executable_)) {}

std::wstring RunKeyStartup::EntryText() const {
  return L"\"" + executable_ + L"\"";
}

bool RunKeyStartup::NamesExecutable(const std::wstring& entry) const {
  const std::optional<std::wstring> program = RunEntryProgram(entry);
  return program && (SamePath(*program, executable_) || SamePath(*program, shortExecutable_));
}

bool RunKeyStartup::RegisterRunAtStartup() {
  if (executable_.empty()) return false;
  for (const RunKeyLocation& at : machine_) {
    const std::optional<std::wstring> entry = ReadEntry(at);
    if (!entry) continue;
    if (NamesExecutable(*entry)) {
      DeleteEntry(user_);
      return true;
    }
    const std::optional<std::wstring> program = RunEntryProgram(*entry);
    if (program && IsExistingFile(*program)) return false;
  }
  return WriteEntry(user_, EntryText());
}

bool RunKeyStartup::UnregisterRunAtStartup() {
  bool deleted = DeleteEntry(user_);
  for (const RunKeyLocation& at : machine_) {
    const std::optional<std::wstring> entry = ReadEntry(at);
    if (entry && NamesExecutable(*entry) && DeleteEntry(at)) deleted = true;
  }
  return deleted;
}

bool RunKeyStartup::IsRunAtStartupRegistered() {
  if (executable_.empty()) return false;
  const std::optional<std::wstring> own = ReadEntry(user_);
  if (own && NamesExecutable(*own)) return true;
  for (const RunKeyLocation& at : machine_) {
    const std::optional<std::wstring> entry = ReadEntry(at);
    if (entry && NamesExecutable(*entry)) return true;
  }
  return false;
}

RunKeyLocation UserRunKey() {
  return {HKEY_CURRENT_USER, kRunPath, 0};
}

std::vector<RunKeyLocation> MachineRunKeys() {
  return {{HKEY_LOCAL_MACHINE, kRunPath, KEY_WOW64_64KEY}, {HKEY_LOCAL_MACHINE, kRunPath, KEY_WOW64_32KEY}};
}

}  // namespace vantrel
