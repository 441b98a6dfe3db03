#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>

#include "settings/SettingsStore.h"

namespace vantrel {

// A store that keeps its values in memory for its own lifetime: for tests
// and for platforms without a per-user store. A value read as the other
// kind than it was written reads as the fallback.
class MemorySettingsStore final : public SettingsStore {
 public:
  std::int32_t ReadInt(std::string_view section, std::string_view name, std::int32_t fallback) override;
  std::string ReadString(std::string_view section, std::string_view name, std::string_view fallback) override;
  bool WriteInt(std::string_view section, std::string_view name, std::int32_t value) override;
  bool WriteString(std::string_view section, std::string_view name, std::string_view value) override;

  bool Contains(std::string_view section, std::string_view name) const;
  bool Remove(std::string_view section, std::string_view name);
  std::size_t Size() const { return values_.size(); }

 private:
  using Key = std::pair<std::string, std::string>;
  std::map<Key, std::variant<std::int32_t, std::string>> values_;
};

}  // namespace vantrel
