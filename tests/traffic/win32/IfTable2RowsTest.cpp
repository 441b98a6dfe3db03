#include "traffic/win32/IfTable2Rows.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace vantrel {
namespace {

struct RowSpec {
  const wchar_t* description;
  ULONG type;
  NET_IFINDEX index;
  bool hardware;
  bool filter;
};

MIB_IF_ROW2 MakeRow(const RowSpec& spec) {
  MIB_IF_ROW2 row{};
  wcsncpy(row.Description, spec.description, std::size(row.Description) - 1);
  row.Type = spec.type;
  row.InterfaceIndex = spec.index;
  row.InterfaceAndOperStatusFlags.HardwareInterface = spec.hardware;
  row.InterfaceAndOperStatusFlags.FilterInterface = spec.filter;
  row.InOctets = 5'000'000'000ULL + spec.index;  // beyond 32 bits
  row.OutOctets = spec.index;
  return row;
}

// Description, type, identity and whether the row is backed by hardware.
using Listed = std::vector<std::tuple<std::string, std::uint32_t, std::uint32_t, bool>>;

Listed ListedOf(const std::vector<MIB_IF_ROW2>& rows) {
  InterfaceTable table;
  AppendListedRows(rows, table);
  Listed listed;
  for (const InterfaceRow& row : table.Rows()) {
    EXPECT_EQ(row.inOctets, 5'000'000'000ULL + row.identity);
    EXPECT_EQ(row.outOctets, row.identity);
    listed.emplace_back(row.description, row.type, row.identity, row.hardware);
  }
  return listed;
}

TEST(AppendListedRows, LeavesOutFilterLayersAndSecondRowsOfAnAdapter) {
  const RowSpec specs[] = {
      {L"Software Loopback Interface 1", 24, 1, false, false},
      {L"Intel(R) Wi-Fi 6 AX201-WFP Native MAC Layer LightWeight Filter-0000", 71, 9, false, true},
      {L"Intel(R) Wi-Fi 6 AX201", 71, 12, true, false},
      {L"Realtek PCIe GbE", 6, 7, false, false},  // a pseudo row ahead of its adapter
      {L"Intel(R) Wi-Fi 6 AX201-QoS Packet Scheduler-0000", 71, 10, false, true},
      {L"Realtek PCIe GbE", 6, 8, true, false},
      {L"WAN Miniport (IP)", 6, 20, false, false},
      {L"WAN Miniport (IP)", 6, 21, false, false},
      {L"Intel(R) Wi-Fi 6 AX201", 71, 13, false, true},  // a filter under the adapter's own name
  };
  std::vector<MIB_IF_ROW2> rows;
  for (const RowSpec& spec : specs) rows.push_back(MakeRow(spec));

  EXPECT_EQ(ListedOf(rows), (Listed{{"Software Loopback Interface 1", 24, 1, false},
                                    {"Intel(R) Wi-Fi 6 AX201", 71, 12, true},
                                    {"Realtek PCIe GbE", 6, 8, true},
                                    {"WAN Miniport (IP)", 6, 20, false}}));
}

TEST(AppendListedRows, DescriptionsAreUtf8AndEndWithTheirField) {
  std::vector<MIB_IF_ROW2> rows = {MakeRow({L"Contr\u00f4leur r\u00e9seau \U0001F310", 6, 1, true, false}),
                                   MakeRow({L"", 6, 2, true, false})};
  // A description that fills its field without a terminating NUL; the field
  // after it would read as "yy".
  std::wmemset(rows[1].Description, L'x', std::size(rows[1].Description));
  rows[1].PhysicalAddressLength = 0x00790079;

  const Listed listed = ListedOf(rows);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(std::get<0>(listed[0]), "Contr\xC3\xB4leur r\xC3\xA9seau \xF0\x9F\x8C\x90");
  EXPECT_EQ(std::get<0>(listed[1]), std::string(std::size(rows[1].Description), 'x'));
}

}  // namespace
}  // namespace vantrel
