#include "traffic/win32/IpHelperInterfaceTable.h"

#include "traffic/PlatformInterfaceTable.h"
#include "traffic/win32/IfTable2Rows.h"

namespace vantrel {

bool IpHelperInterfaceTable::Read(InterfaceTable& table) {
  table.Clear();
  MIB_IF_TABLE2* rows = nullptr;
  if (GetIfTable2(&rows) != NO_ERROR) {
    if (rows != nullptr) FreeMibTable(rows);
    return false;
  }
  AppendListedRows({rows->Table, rows->NumEntries}, table);
  FreeMibTable(rows);
  return true;
}

bool IpHelperInterfaceTable::ReadOne(std::uint32_t identity, InterfaceRow& row) {
  MIB_IF_ROW2 entry{};
  entry.InterfaceIndex = identity;
  if (GetIfEntry2(&entry) != NO_ERROR || entry.InterfaceAndOperStatusFlags.FilterInterface) return false;
  AssignRow(entry, row);
  return true;
}

bool IpHelperInterfaceTable::ReadDefaultRoutes(std::vector<DefaultRoute>& routes) {
  routes.clear();
  MIB_IPFORWARD_TABLE2* rows = nullptr;
  MIB_IPINTERFACE_TABLE* links = nullptr;
  const bool read = GetIpForwardTable2(AF_UNSPEC, &rows) == NO_ERROR;
  // Without the interfaces' metrics the routes' own still rank them.
  const bool metrics = read && GetIpInterfaceTable(AF_UNSPEC, &links) == NO_ERROR && links != nullptr;
  if (read) {
    AppendDefaultRoutes({rows->Table, rows->NumEntries},
                        metrics ? std::span<const MIB_IPINTERFACE_ROW>(links->Table, links->NumEntries)
                                : std::span<const MIB_IPINTERFACE_ROW>(),
                        routes);
  }
  if (rows != nullptr) FreeMibTable(rows);
  if (links != nullptr) FreeMibTable(links);
  return read;
}

std::unique_ptr<InterfaceTableSource> CreatePlatformInterfaceTable() {
  return std::make_unique<IpHelperInterfaceTable>();
}

}  // namespace vantrel
