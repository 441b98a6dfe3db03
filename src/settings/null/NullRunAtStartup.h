#pragma once

#include "settings/RunAtStartup.h"

namespace vantrel {

// For platforms that cannot start a program at login: nothing can be
// registered, so nothing ever is.
class NullRunAtStartup final : public RunAtStartup {
 public:
  bool RegisterRunAtStartup() override { return false; }
  bool UnregisterRunAtStartup() override { return false; }
  bool IsRunAtStartupRegistered() override { return false; }
};

}  // namespace vantrel
