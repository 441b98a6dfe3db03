#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

// A per-user store of named values, grouped in sections. The empty section
// name is the top level.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The stored 32-bit integer, or `fallback` when it is missing or not one.
  virtual std::int32_t ReadInt(std::string_view section, std::string_view name, std::int32_t fallback) = 0;
  // The stored text up to its first NUL, or `fallback` when it is missing or unreadable.
  virtual std::string ReadString(std::string_view section, std::string_view name,
                                 std::string_view fallback) = 0;
  // Failures are silent: true when the value was written. A store that
  // collects its writes (see Sync) answers true when it took the value; later
  // reads see it at once.
  virtual bool WriteInt(std::string_view section, std::string_view name, std::int32_t value) = 0;
  virtual bool WriteString(std::string_view section, std::string_view name, std::string_view value) = 0;

  // Makes the writes so far durable, all of them in one step; true when they
  // landed or there was nothing to write. A store that writes through at
  // once has nothing to do here.
  virtual bool Sync() { return true; }
};

}  // namespace vantrel
