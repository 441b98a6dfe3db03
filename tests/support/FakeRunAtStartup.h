#pragma once

#include "settings/RunAtStartup.h"

namespace vantrel::testing {

// A start-at-login entry whose state the test sets and watches.
class FakeRunAtStartup final : public RunAtStartup {
 public:
  bool RegisterRunAtStartup() override {
    ++registerCalls;
    if (canRegister) registered = true;
    return canRegister;
  }
  bool UnregisterRunAtStartup() override {
    const bool was = registered;
    registered = false;
    return was;
  }
  bool IsRunAtStartupRegistered() override { return registered; }

  bool registered = false;
  bool canRegister = true;
  int registerCalls = 0;
};

}  // namespace vantrel::testing
