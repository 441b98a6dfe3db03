#include "settings/null/MemorySettingsStore.h"

namespace vantrel {
namespace {

std::pair<std::string, std::string> KeyOf(std::string_view section, std::string_view name) {
  return {std::string(section), std::string(name)};
}

std::string_view UpToNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

}  // namespace

std::int32_t MemorySettingsStore::ReadInt(std::string_view section, std::string_view name,
                                          std::int32_t fallback) {
  const auto it = values_.find(KeyOf(section, name));
  if (it == values_.end()) return fallback;
  const auto* value = std::get_if<std::int32_t>(&it->second);
  return value ? *value : fallback;
}

std::string MemorySettingsStore::ReadString(std::string_view section, std::string_view name,
                                            std::string_view fallback) {
  const auto it = values_.find(KeyOf(section, name));
  const auto* value = it == values_.end() ? nullptr : std::get_if<std::string>(&it->second);
  return std::string(value ? std::string_view(*value) : fallback);
}

bool MemorySettingsStore::WriteInt(std::string_view section, std::string_view name, std::int32_t value) {
  values_[KeyOf(section, name)] = value;
  return true;
}

bool MemorySettingsStore::WriteString(std::string_view section, std::string_view name,
                                      std::string_view value) {
  values_[KeyOf(section, name)] = std::string(UpToNul(value));
  return true;
}

bool MemorySettingsStore::Contains(std::string_view section, std::string_view name) const {
  return values_.contains(KeyOf(section, name));
}

bool MemorySettingsStore::Remove(std::string_view section, std::string_view name) {
  return values_.erase(KeyOf(section, name)) > 0;
}

}  // namespace vantrel
