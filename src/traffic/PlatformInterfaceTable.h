#pragma once

#include <memory>

#include "traffic/InterfaceTable.h"

namespace vantrel {

// The interface table of the platform this program was built for. Each
// platform adapter library defines it; CMake links exactly one.
std::unique_ptr<InterfaceTableSource> CreatePlatformInterfaceTable();

}  // namespace vantrel
