#pragma once

#include "traffic/InterfaceTable.h"

namespace vantrel {

// The system's interface table as GetIfTable2 gives it, with 64-bit octet
// counters. Each reading asks the IP Helper afresh; its table is freed
// before Read returns, and the rows of `table` are reused. One interface is
// read with GetIfEntry2, the routes with GetIpForwardTable2.
class IpHelperInterfaceTable final : public InterfaceTableSource {
 public:
  bool Read(InterfaceTable& table) override;
  bool ReadOne(std::uint32_t identity, InterfaceRow& row) override;
  bool ReadDefaultRoutes(std::vector<DefaultRoute>& routes) override;
};

}  // namespace vantrel
