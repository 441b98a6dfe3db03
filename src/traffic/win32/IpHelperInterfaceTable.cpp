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

std::unique_ptr<InterfaceTableSource> CreatePlatformInterfaceTable() {
  return std::make_unique<IpHelperInterfaceTable>();
}

}  // namespace vantrel
