#include "traffic/AdapterList.h"

#include "traffic/ConnectionText.h"

namespace vantrel {

std::vector<std::string> ListAdapters(InterfaceTableSource& source) {
  std::vector<std::string> adapters;
  InterfaceTable table;
  if (!source.Read(table)) return adapters;
  // Hardware-backed links first, then the virtual ones.
  for (const bool hardware : {true, false}) {
    for (const InterfaceRow& row : table.Rows()) {
      if (row.type == kIfTypeLoopback || row.hardware != hardware) continue;
      adapters.emplace_back(ClipConnectionText(row.description));
    }
  }
  return adapters;
}

}  // namespace vantrel
