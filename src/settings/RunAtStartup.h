#pragma once

#include <memory>

namespace vantrel {

// The entry that starts this program when the user logs in.
class RunAtStartup {
 public:
  virtual ~RunAtStartup() = default;

  // Writes the entry for this executable; true on success.
  virtual bool RegisterRunAtStartup() = 0;
  // Deletes the entry; true when one was deleted.
  virtual bool UnregisterRunAtStartup() = 0;
  // True when the entry exists and names this very executable.
  virtual bool IsRunAtStartupRegistered() = 0;
};

}  // namespace vantrel
