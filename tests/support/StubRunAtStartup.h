#pragma once

#include "settings/RunAtStartup.h"

namespace vantrel::testing {

// A start-at-login entry that can always be written; the test watches it.
class StubRunAtStartup final : public RunAtStartup {
 public:
  bool RegisterRunAtStartup() override {
    ++registerCalls;
    return registered = true;
  }
  bool UnregisterRunAtStartup() override { return !(registered = false); }
  bool IsRunAtStartupRegistered() override { return registered; }
  bool registered = false;
  int registerCalls = 0;
};

}  // namespace vantrel::testing
