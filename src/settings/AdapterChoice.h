#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/BarSettings.h"

namespace vantrel {

// The entry of the Options dialog's adapter list shown selected for the
// record's `connection`: the last one equal to it byte for byte (case
// matters), else the first. Showing it changes no setting: an empty or
// unknown connection stays as it is until the user picks an entry.
std::size_t ShownAdapterIndex(const std::vector<std::string>& adapters, std::string_view connection);

// The Options dialog's adapter list: "Automatic" first, then `adapters`.
// While Automatic is on, its entry names the link watched now,
// "Automatic (<link>)", and is the one shown selected; else the entry of
// ShownAdapterIndex is, or none (-1) when there is no adapter to list.
std::vector<std::string> AdapterEntries(const std::vector<std::string>& adapters,
                                        const BarSettings& settings);
int ShownEntryIndex(const std::vector<std::string>& adapters, const BarSettings& settings);

// The user picked entry `index` of that list: Automatic goes on, or a link
// chosen by name becomes the connection and Automatic goes off.
void ChooseAdapterEntry(std::size_t index, const std::vector<std::string>& adapters, BarSettings& settings);

}  // namespace vantrel
