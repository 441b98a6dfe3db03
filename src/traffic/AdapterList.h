#pragma once

#include <string>
#include <vector>

#include "traffic/InterfaceTable.h"

namespace vantrel {

// The descriptions of the interfaces a user can choose from: those backed by
// hardware first, then the virtual ones, each in the table's order. Loopback
// is left out. Empty when the table cannot be read.
std::vector<std::string> ListAdapters(InterfaceTableSource& source);

}  // namespace vantrel
