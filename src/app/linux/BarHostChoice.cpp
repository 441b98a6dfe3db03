#include "app/linux/BarHostChoice.h"

#include <string_view>

namespace vantrel {

BarHostPlan PlanBarHosts(const char* forcedHost, const char* waylandDisplay) {
  const std::string_view forced = forcedHost != nullptr ? forcedHost : "";
  if (forced == "wayland") return {{BarHostKind::Wayland}, {}};
  if (forced == "x11") return {{BarHostKind::X11}, {}};
  if (!forced.empty()) {
    return {{}, "vantrel: VANTREL_HOST is \"" + std::string(forced) + "\"; it takes x11 or wayland\n"};
  }
  if (waylandDisplay != nullptr && *waylandDisplay != '\0')
    return {{BarHostKind::Wayland, BarHostKind::X11}, {}};
  return {{BarHostKind::X11}, {}};
}

std::string NoHostMessage(std::span<const std::string> reasons) {
  std::string line = "vantrel: no display to show the bar on";
  const char* separator = ": ";
  for (const std::string& reason : reasons) {
    line += separator;
    line += reason;
    separator = "; ";
  }
  return line + "\n";
}

}  // namespace vantrel
