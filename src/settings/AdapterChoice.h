#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// The entry of the Options dialog's adapter list shown selected for the
// record's `connection`: the last one equal to it byte for byte (case
// matters), else the first. Showing it changes no setting: an empty or
// unknown connection stays as it is until the user picks an entry.
std::size_t ShownAdapterIndex(const std::vector<std::string>& adapters, std::string_view connection);

}  // namespace vantrel
