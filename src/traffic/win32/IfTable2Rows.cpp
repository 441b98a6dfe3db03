#include "traffic/win32/IfTable2Rows.h"

#include <cwchar>
#include <iterator>
#include <string_view>

#include "traffic/win32/WideText.h"

namespace vantrel {
namespace {

// The description as far as its terminating NUL, never beyond its field.
std::wstring_view Description(const MIB_IF_ROW2& row) {
  return {row.Description, wcsnlen(row.Description, std::size(row.Description))};
}

bool IsFilter(const MIB_IF_ROW2& row) {
  return row.InterfaceAndOperStatusFlags.FilterInterface;
}
bool IsHardware(const MIB_IF_ROW2& row) {
  return row.InterfaceAndOperStatusFlags.HardwareInterface;
}

// Whether `row` is the one row that stands for its adapter.
bool IsListed(std::span<const MIB_IF_ROW2> rows, const MIB_IF_ROW2& row) {
  if (IsFilter(row)) return false;
  const std::wstring_view description = Description(row);
  const MIB_IF_ROW2* standing = nullptr;
  for (const MIB_IF_ROW2& other : rows) {
    if (IsFilter(other) || Description(other) != description) continue;
    if (standing == nullptr || (!IsHardware(*standing) && IsHardware(other))) standing = &other;
  }
  return standing == &row;
}

}  // namespace

void AppendListedRows(std::span<const MIB_IF_ROW2> rows, InterfaceTable& table) {
  for (const MIB_IF_ROW2& row : rows) {
    if (!IsListed(rows, row)) continue;
    InterfaceRow& out = table.Append();
    AssignUtf8(out.description, Description(row));
    out.type = row.Type;
    out.identity = row.InterfaceIndex;
    out.inOctets = row.InOctets;
    out.outOctets = row.OutOctets;
    out.hardware = IsHardware(row);
  }
}

}  // namespace vantrel
