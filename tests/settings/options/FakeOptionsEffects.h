#pragma once

#include <string>
#include <vector>

#include "settings/ApplyOptions.h"

namespace vantrel::testing {

// Writes every effect and every start-at-login call into one journal, so
// that a test can check what happened and in which order.
class OptionsJournal final : public OptionsEffects, public RunAtStartup {
 public:
  void DockToEdge(DockEdge edge) override {
    calls.push_back(edge == DockEdge::Top ? "dock top" : "dock bottom");
  }
  void ResetHistory() override { calls.push_back("reset history"); }
  void SaveSettings(const BarSettings& settings) override {
    calls.push_back("save");
    saved.push_back(settings);
  }
  void Repaint() override { calls.push_back("repaint"); }

  bool RegisterRunAtStartup() override {
    calls.push_back("register");
    registered = writable;
    return writable;
  }
  bool UnregisterRunAtStartup() override {
    calls.push_back("unregister");
    registered = false;
    return true;
  }
  bool IsRunAtStartupRegistered() override { return registered; }

  std::vector<std::string> calls;
  std::vector<BarSettings> saved;
  bool registered = false;
  bool writable = true;  // false: registering fails
};

}  // namespace vantrel::testing
