#include "settings/AdapterChoice.h"

namespace vantrel {

std::size_t ShownAdapterIndex(const std::vector<std::string>& adapters, std::string_view connection) {
  std::size_t shown = 0;
  for (std::size_t i = 0; i < adapters.size(); ++i) {
    if (adapters[i] == connection) shown = i;
  }
  return shown;
}

std::vector<std::string> AdapterEntries(const std::vector<std::string>& adapters,
                                        const BarSettings& settings) {
  std::vector<std::string> entries;
  entries.reserve(adapters.size() + 1);
  if (settings.automaticConnection != 0 && !settings.connection.empty()) {
    entries.push_back("Automatic (" + settings.connection + ")");
  } else {
    entries.emplace_back("Automatic");
  }
  entries.insert(entries.end(), adapters.begin(), adapters.end());
  return entries;
}

int ShownEntryIndex(const std::vector<std::string>& adapters, const BarSettings& settings) {
  if (settings.automaticConnection != 0) return 0;
  if (adapters.empty()) return -1;
  return 1 + static_cast<int>(ShownAdapterIndex(adapters, settings.connection));
}

void ChooseAdapterEntry(std::size_t index, const std::vector<std::string>& adapters, BarSettings& settings) {
  if (index == 0) {
    settings.automaticConnection = 1;
  } else if (index <= adapters.size()) {
    settings.automaticConnection = 0;
    settings.connection = adapters[index - 1];
  }
}

}  // namespace vantrel
