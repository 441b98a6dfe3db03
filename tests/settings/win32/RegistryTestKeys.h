#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::testing {

// Raw registry access for tests: values of any kind and keys a test locks.

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
};

inline RawValue Dword(DWORD value) {
  const BYTE* p = reinterpret_cast<const BYTE*>(&value);
  return {REG_DWORD, {p, p + sizeof(value)}};
}

// UTF-16 text with `nul` terminating NULs (0: none) and `extraBytes` odd bytes after them.
inline RawValue Text(const std::wstring& text, DWORD type = REG_SZ, int nul = 1, int extraBytes = 0) {
  std::wstring all = text + std::wstring(static_cast<std::size_t>(nul), L'\0');
  const BYTE* p = reinterpret_cast<const BYTE*>(all.data());
  RawValue value{type, {p, p + all.size() * sizeof(wchar_t)}};
  value.bytes.insert(value.bytes.end(), static_cast<std::size_t>(extraBytes), BYTE{'x'});
  return value;
}

inline bool SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, const RawValue& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG result = RegSetValueExW(key, name.c_str(), 0, value.type, value.bytes.data(),
                                     static_cast<DWORD>(value.bytes.size()));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

inline std::optional<RawValue> GetRaw(HKEY root, const std::wstring& path, const std::wstring& name,
                                      REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
    return std::nullopt;
  RawValue value;
  DWORD size = 0;
  LONG result = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size);
  if (result == ERROR_SUCCESS) {
    value.bytes.resize(size);
    result = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.bytes.data(), &size);
  }
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return value;
}

// Sets the access list of a key, given in SDDL; true when it was set.
inline bool SetKeyAccess(HKEY root, const std::wstring& path, const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
    return false;
  }
  HKEY key = nullptr;
  bool set = false;
  if (RegOpenKeyExW(root, path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
    set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  LocalFree(descriptor);
  return set;
}

// Everyone may do anything but read and write values and subkeys (0x3F);
// changing the access list stays allowed, so that a test can undo it.
inline constexpr const wchar_t* kNoValueAccess = L"D:(D;;0x3F;;;WD)(A;;KA;;;WD)";
inline constexpr const wchar_t* kFullAccess = L"D:(A;;KA;;;WD)";

// True when the registry denies a read the access list forbids (Wine need not).
inline bool AccessListsAreEnforced(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return true;
  RegCloseKey(key);
  return false;
}

// A key of its own for one test, gone before and after it.
class ScratchKey {
 public:
  ScratchKey(HKEY root, std::wstring path) : root_(root), path_(std::move(path)) { Remove(); }
  ~ScratchKey() { Remove(); }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  void Remove() {
    // Undo any lock a test left on a key below, then remove the tree.
    for (const wchar_t* below : {L"", L"\\GUI"}) SetKeyAccess(root_, path_ + below, kFullAccess);
    RegDeleteTreeW(root_, path_.c_str());
    RegDeleteKeyW(root_, path_.c_str());
  }
  HKEY root_;
  std::wstring path_;
};

// The name of the running test, for keys of its own.
inline std::wstring TestKeyName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return std::wstring(name.begin(), name.end());
}

}  // namespace vantrel::testing
