#include "traffic/InterfaceSelection.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

constexpr std::uint32_t kWifi = kIfTypeIeee80211;

// An empty connection settles on the first hardware-backed Ethernet, PPP or
// Wi-Fi row, else the first such row at all, and remembers it; a stored one
// is matched exactly (letter case counts), the last of equal names winning.
TEST(InterfaceSelectionTest, ChoosesTheRowTheConnectionNamesOrTheFirstEligibleOne) {
  struct Row {
    const char* name;
    std::uint32_t type;
    bool hardware = false;
  };
  struct Case {
    const char* what;
    std::string connection;
    std::vector<Row> rows;
    int chosen;  // index into rows, -1 for none
    std::string remembered;
  };
  const Case cases[] = {
      {"first Ethernet",
       "",
       {{"lo", kIfTypeLoopback}, {"B", kIfTypeEthernet}, {"C", kIfTypeEthernet}},
       1,
       "B"},
      {"PPP is eligible", "", {{"tun0", kIfTypeOther}, {"ppp0", kIfTypePpp}}, 1, "ppp0"},
      {"Wi-Fi is eligible", "", {{"tun0", kIfTypeOther}, {"wlan0", kWifi}}, 1, "wlan0"},
      {"nothing eligible", "", {{"lo", kIfTypeLoopback}, {"wg0", kIfTypeOther}}, -1, ""},
      {"adapter after virtual links",
       "",
       {{"wwan0", kIfTypeOther, true}, {"ifb0", kIfTypeEthernet}, {"enp3s0", kIfTypeEthernet, true}},
       2,
       "enp3s0"},
      {"no adapter", "", {{"ifb0", kIfTypeEthernet}, {"veth1", kIfTypeEthernet}}, 0, "ifb0"},
      {"a stored virtual link",
       "ifb0",
       {{"ifb0", kIfTypeEthernet}, {"eth0", kIfTypeEthernet, true}},
       0,
       "ifb0"},
      {"last of equal names",
       "B",
       {{"B", kIfTypeEthernet}, {"X", kIfTypeEthernet}, {"B", kIfTypeEthernet}},
       2,
       "B"},
      {"automatic choice, then last of its name",
       "",
       {{"eth0", kIfTypeEthernet}, {"eth1", kIfTypeEthernet}, {"eth0", kIfTypeEthernet}},
       2,
       "eth0"},
      {"letter case counts", "ETH0", {{"eth0", kIfTypeEthernet}}, -1, "ETH0"},
      {"an empty description matches", "", {{"", kIfTypeOther}, {"eth0", kIfTypeEthernet}}, 0, ""},
  };
  for (const Case& c : cases) {
    testing::ScriptedInterfaceTable source;
    for (const Row& row : c.rows) source.Add(row.name, row.type).hardware = row.hardware;
    InterfaceTable table;
    source.Read(table);
    std::string connection = c.connection;
    const InterfaceRow* row = ChooseInterfaceRow(table.Rows(), connection);
    EXPECT_EQ(row, c.chosen < 0 ? nullptr : &table.Rows()[c.chosen]) << c.what;
    EXPECT_EQ(connection, c.remembered) << c.what;
  }
}

TEST(InterfaceSelectionTest, ALongDescriptionIsRememberedAsItsFirst255BytesAndStillMatches) {
  testing::ScriptedInterfaceTable source;
  source.Add(std::string(300, 'n'), kIfTypeEthernet);
  InterfaceTable table;
  source.Read(table);
  std::string connection;
  ASSERT_NE(ChooseInterfaceRow(table.Rows(), connection), nullptr);
  EXPECT_EQ(connection.size(), 255u);
  EXPECT_NE(ChooseInterfaceRow(table.Rows(), connection), nullptr);
}

}  // namespace
}  // namespace vantrel
