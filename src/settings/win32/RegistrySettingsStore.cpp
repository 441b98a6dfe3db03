#include "settings/win32/RegistrySettingsStore.h"

#include <algorithm>
#include <utility>

#include "traffic/win32/WideText.h"

namespace vantrel {
namespace {

// An open registry key, closed when it goes.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  bool Open(HKEY root, const std::wstring& path, REGSAM access) {
    return RegOpenKeyExW(root, path.c_str(), 0, access, &key_) == ERROR_SUCCESS;
  }
  // Opens the key, or creates it when it is missing. (An existing key is
  // opened first: Wine's RegCreateKeyExW grants access to it unchecked.)
  bool Create(HKEY root, const std::wstring& path, REGSAM access) {
    const LONG opened = RegOpenKeyExW(root, path.c_str(), 0, access, &key_);
    if (opened != ERROR_FILE_NOT_FOUND) return opened == ERROR_SUCCESS;
    return RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key_,
                           nullptr) == ERROR_SUCCESS;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// A value is changed between the two reads of ReadRegistryText at most this
// often before the read gives up.
constexpr int kReadAttempts = 4;

}  // namespace

std::optional<std::wstring> ReadRegistryText(HKEY key, const std::wstring& name) {
  DWORD type = 0;
  DWORD size = 0;
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return std::nullopt;
    if (type != REG_SZ) return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = size;
    const LONG result =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &got);
    if (result == ERROR_MORE_DATA) continue;  // it grew meanwhile
    if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    // The data need not end with a NUL, nor with a whole character.
    text.resize(got / sizeof(wchar_t));
    text.resize(std::min(text.size(), text.find(L'\0')));
    return text;
  }
  return std::nullopt;
}

RegistrySettingsStore::RegistrySettingsStore(HKEY root, std::wstring keyPath)
    : root_(root), keyPath_(std::move(keyPath)) {}

std::optional<std::wstring> RegistrySettingsStore::SectionPath(std::string_view section) const {
  if (keyPath_.empty()) return std::nullopt;
  if (section.empty()) return keyPath_;
  // A section is one key below the application's, never a path.
  if (section.find_first_of(std::string_view("\\\0", 2)) != std::string_view::npos) return std::nullopt;
  return keyPath_ + L'\\' + WideFromUtf8(section);
}

std::int32_t RegistrySettingsStore::ReadInt(std::string_view section, std::string_view name,
                                            std::int32_t fallback) {
  const std::optional<std::wstring> path = SectionPath(section);
  Key key;
  if (!path || !key.Open(root_, *path, KEY_QUERY_VALUE)) return fallback;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegQueryValueExW(key.get(), WideFromUtf8(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(value)) {
    return fallback;
  }
  return static_cast<std::int32_t>(value);
}

std::string RegistrySettingsStore::ReadString(std::string_view section, std::string_view name,
                                              std::string_view fallback) {
  const std::optional<std::wstring> path = SectionPath(section);
  Key key;
  if (!path || !key.Open(root_, *path, KEY_QUERY_VALUE)) return std::string(fallback);
  const std::optional<std::wstring> text = ReadRegistryText(key.get(), WideFromUtf8(name));
  if (!text) return std::string(fallback);
  std::string utf8;
  AssignUtf8(utf8, *text);
  return utf8;
}

bool RegistrySettingsStore::Write(std::string_view section, std::string_view name, DWORD type,
                                  const void* data, DWORD size) {
  const std::optional<std::wstring> path = SectionPath(section);
  Key key;
  if (!path || !key.Create(root_, *path, KEY_SET_VALUE)) return false;
  return RegSetValueExW(key.get(), WideFromUtf8(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                        size) == ERROR_SUCCESS;
}

bool RegistrySettingsStore::WriteInt(std::string_view section, std::string_view name, std::int32_t value) {
  const DWORD data = static_cast<DWORD>(value);
  return Write(section, name, REG_DWORD, &data, sizeof(data));
}

bool RegistrySettingsStore::WriteString(std::string_view section, std::string_view name,
                                        std::string_view value) {
  const std::wstring text = WideFromUtf8(value.substr(0, value.find('\0')));
  // With its terminating NUL.
  return Write(section, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace vantrel
