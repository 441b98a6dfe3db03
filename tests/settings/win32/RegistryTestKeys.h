#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include <optional>
#include <string>
#include <vector>

namespace vantrel::testing {

// Raw registry access for tests: values of any kind, in keys of a test's own.

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
  return RegSetKeyValueW(root, path.c_str(), name.c_str(), value.type, value.bytes.data(),
                         static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
}

// The value as stored (RegGetValueW would add a missing NUL to a text).
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

// Sets the access list of a key, given in SDDL (everyone may change it back).
inline bool SetKeyAccess(HKEY root, const std::wstring& path, const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
    return false;
  HKEY key = nullptr;
  bool set = false;
  if (RegOpenKeyExW(root, path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
    set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  LocalFree(descriptor);
  return set;
}

// A key of its own for one test (named after it), gone before and after it.
class ScratchKey {
 public:
  ScratchKey(HKEY root, const std::wstring& parent) : root_(root) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name();
    path_ = parent + L"\\" + std::wstring(name.begin(), name.end());
    RegDeleteTreeW(root_, path_.c_str());
  }
  ~ScratchKey() { RegDeleteTreeW(root_, path_.c_str()); }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  HKEY root_;
  std::wstring path_;
};

}  // namespace vantrel::testing
