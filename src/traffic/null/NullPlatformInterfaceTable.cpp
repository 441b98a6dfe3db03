#include "traffic/PlatformInterfaceTable.h"
#include "traffic/null/NullInterfaceTable.h"

namespace vantrel {

std::unique_ptr<InterfaceTableSource> CreatePlatformInterfaceTable() {
  return std::make_unique<NullInterfaceTable>();
}

}  // namespace vantrel
