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
    if (IsListed(rows, row)) AssignRow(row, table.Append());
  }
}

void AssignRow(const MIB_IF_ROW2& row, InterfaceRow& out) {
  AssignUtf8(out.description, Description(row));
  out.type = row.Type;
  out.identity = row.InterfaceIndex;
  out.inOctets = row.InOctets;
  out.outOctets = row.OutOctets;
  out.hardware = IsHardware(row);
}

void AppendDefaultRoutes(std::span<const MIB_IPFORWARD_ROW2> rows, std::span<const MIB_IPINTERFACE_ROW> links,
                         std::vector<DefaultRoute>& routes) {
  for (const MIB_IPFORWARD_ROW2& row : rows) {
    const ADDRESS_FAMILY family = row.DestinationPrefix.Prefix.si_family;
    if (row.DestinationPrefix.PrefixLength > 1 || (family != AF_INET && family != AF_INET6)) continue;
    // The system ranks a route by its own metric plus its interface's.
    ULONG linkMetric = 0;
    for (const MIB_IPINTERFACE_ROW& link : links) {
      if (link.Family == family && link.InterfaceLuid.Value == row.InterfaceLuid.Value)
        linkMetric = link.Metric;
    }
    routes.push_back({static_cast<std::uint32_t>(row.InterfaceIndex), family == AF_INET6,
                      row.DestinationPrefix.PrefixLength, row.Metric + linkMetric});
  }
}

}  // namespace vantrel
