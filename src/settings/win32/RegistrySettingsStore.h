#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "settings/SettingsStore.h"

namespace vantrel {

// The settings kept in the registry: the values of the empty section in one
// key, those of another section in the subkey of that name. Integers are
// REG_DWORD values, texts REG_SZ values (UTF-16, written with their
// terminating NUL; the store's texts are UTF-8).
//
// Every operation opens the key it needs and closes it again, so other
// programs may change the values at any time. Reads never create a key. A
// value of another kind than the one asked for (a text where an integer
// belongs, four bytes of REG_BINARY, a REG_QWORD ...) reads as the fallback,
// as does one in a key that cannot be opened. A text is read whatever its
// length and ends at its first NUL or its last whole character.
class RegistrySettingsStore final : public SettingsStore {
 public:
  // The values under `root`\`keyPath`. An empty `keyPath` gives a store that
  // reads only fallbacks and cannot be written.
  RegistrySettingsStore(HKEY root, std::wstring keyPath);

  std::int32_t ReadInt(std::string_view section, std::string_view name, std::int32_t fallback) override;
  std::string ReadString(std::string_view section, std::string_view name, std::string_view fallback) override;
  bool WriteInt(std::string_view section, std::string_view name, std::int32_t value) override;
  bool WriteString(std::string_view section, std::string_view name, std::string_view value) override;

  const std::wstring& KeyPath() const { return keyPath_; }

 private:
  std::optional<std::wstring> SectionPath(std::string_view section) const;
  bool Write(std::string_view section, std::string_view name, DWORD type, const void* data, DWORD size);

  HKEY root_;
  std::wstring keyPath_;
};

// Reads the REG_SZ value `name` of `key` whole, up to its first NUL or its
// last whole character; nothing when it is missing, of another kind or
// unreadable.
std::optional<std::wstring> ReadRegistryText(HKEY key, const std::wstring& name);

}  // namespace vantrel
