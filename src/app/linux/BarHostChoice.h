#pragma once

#include <span>
#include <string>
#include <vector>

namespace vantrel {

// The display systems the bar can run on under Linux.
enum class BarHostKind { Wayland, X11 };

// The hosts to try, in order, and what stops the start before any is tried.
struct BarHostPlan {
  std::vector<BarHostKind> tries;
  std::string error;  // one line for stderr; nothing is tried when it is set
};

// The plan for `forcedHost` (the environment's VANTREL_HOST: "x11" or
// "wayland" tries that one alone) and `waylandDisplay` (WAYLAND_DISPLAY):
// a Wayland session tries the layer shell first and Xwayland after it (a
// compositor without the layer shell, such as GNOME's); elsewhere X11 only.
// Either may be null.
BarHostPlan PlanBarHosts(const char* forcedHost, const char* waylandDisplay);

// The one line said when no host could start; `reasons` tells for each host
// tried why it could not.
std::string NoHostMessage(std::span<const std::string> reasons);

}  // namespace vantrel
