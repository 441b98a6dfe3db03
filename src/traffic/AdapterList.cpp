#include "traffic/AdapterList.h"

#include "traffic/ConnectionText.h"

namespace vantrel {

std::vector<std::string> ListAdapters(InterfaceTableSource& source) {
  std::vector<std::string> adapters;
  InterfaceTable table;
  if (!source.Read(table)) return adapters;
  for (const InterfaceRow& row : table.Rows()) {
    if (row.type == kIfTypeLoopback) continue;
    adapters.emplace_back(ClipConnectionText(row.description));
  }
  return adapters;
}

}  // namespace vantrel
