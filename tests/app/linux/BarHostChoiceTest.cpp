#include "app/linux/BarHostChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

using enum BarHostKind;

TEST(BarHostChoiceTest, PlansTheHostsToTryAndAnUnknownForcedOneTriesNothing) {
  struct Case {
    const char* forced;
    const char* waylandDisplay;
    std::vector<BarHostKind> tries;
  } const cases[] = {
      {nullptr, "wayland-0", {Wayland, X11}},  // layer shell first, Xwayland after it
      {nullptr, nullptr, {X11}},
      {nullptr, "", {X11}},
      {"", "wayland-0", {Wayland, X11}},
      {"x11", "wayland-0", {X11}},
      {"wayland", nullptr, {Wayland}},
      {"X11", "wayland-0", {}},  // unknown: nothing, and a line that says so
  };
  for (const Case& c : cases) {
    const BarHostPlan plan = PlanBarHosts(c.forced, c.waylandDisplay);
    EXPECT_EQ(plan.tries, c.tries) << (c.forced ? c.forced : "(unset)") << " / "
                                   << (c.waylandDisplay ? c.waylandDisplay : "(unset)");
    EXPECT_EQ(plan.error.empty(), !c.tries.empty());
  }
  const std::string error = PlanBarHosts("X11", nullptr).error;
  EXPECT_NE(error.find("\"X11\""), std::string::npos);
  EXPECT_EQ(error.find('\n'), error.size() - 1);
}

}  // namespace
}  // namespace vantrel
