#include "settings/AdapterChoice.h"

namespace vantrel {

std::size_t ShownAdapterIndex(const std::vector<std::string>& adapters, std::string_view connection) {
  std::size_t shown = 0;
  for (std::size_t i = 0; i < adapters.size(); ++i) {
    if (adapters[i] == connection) shown = i;
  }
  return shown;
}

}  // namespace vantrel
