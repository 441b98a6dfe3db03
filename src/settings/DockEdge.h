#pragma once

#include <cstdint>

namespace vantrel {

// The screen edge the bar docks on.
enum class DockEdge : std::int32_t { None = 0, Top = 4, Bottom = 8 };

// The stored position 1 means the bottom edge; every other value the top.
inline constexpr DockEdge DockEdgeForPosition(std::int32_t position) {
  return position == 1 ? DockEdge::Bottom : DockEdge::Top;
}

}  // namespace vantrel
