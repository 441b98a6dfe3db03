#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "traffic/QuantityFormat.h"

namespace vantrel {

// The entries of the Options dialog's "Units" list, in the order of the
// values the "Units" setting stores.
inline constexpr std::array<std::string_view, 3> kUnitsEntries = {"KB and KB/s", "Bytes: KB, MB, GB",
                                                                  "Bits: kbit/s, Mbit/s, Gbit/s"};

// The entry shown for a stored value; one the list does not know shows as
// the first, and stays stored as it is until the user picks an entry.
inline int ShownUnitsIndex(std::int32_t stored) {
  return static_cast<int>(UnitsFromSetting(stored));
}

}  // namespace vantrel
