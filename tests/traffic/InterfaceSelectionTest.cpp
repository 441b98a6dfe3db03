#include "traffic/InterfaceSelection.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

constexpr std::uint32_t kEth = kIfTypeEthernet;
constexpr std::uint32_t kWifi = kIfTypeIeee80211;
constexpr std::uint32_t kOther = kIfTypeOther;

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
      {"first Ethernet", "", {{"lo", kIfTypeLoopback}, {"B", kEth}, {"C", kEth}}, 1, "B"},
      {"PPP is eligible", "", {{"tun0", kOther}, {"ppp0", kIfTypePpp}}, 1, "ppp0"},
      {"Wi-Fi is eligible", "", {{"tun0", kOther}, {"wlan0", kWifi}}, 1, "wlan0"},
      {"nothing eligible", "", {{"lo", kIfTypeLoopback}, {"wg0", kOther}}, -1, ""},
      {"hardware first", "", {{"wwan0", kOther, true}, {"ifb0", kEth}, {"enp3s0", kEth, true}}, 2, "enp3s0"},
      {"no hardware", "", {{"ifb0", kEth}, {"veth1", kEth}}, 0, "ifb0"},
      {"stored virtual link", "ifb0", {{"ifb0", kEth}, {"eth0", kEth, true}}, 0, "ifb0"},
      {"last of equal names", "B", {{"B", kEth}, {"X", kEth}, {"B", kEth}}, 2, "B"},
      {"automatic, then last of name", "", {{"eth0", kEth}, {"eth1", kEth}, {"eth0", kEth}}, 2, "eth0"},
      {"letter case counts", "ETH0", {{"eth0", kEth}}, -1, "ETH0"},
      {"empty description matches", "", {{"", kOther}, {"eth0", kEth}}, 0, ""},
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

// Automatic watches the link the traffic to everywhere leaves by: IPv4
// before IPv6, a VPN's half routes before the default route, then the lowest
// metric. Without such a route, only a hardware link; a virtual one (veth,
// bridge, docker, virbr) only while it carries the route.
TEST(InterfaceSelectionTest, AutomaticFollowsTheRouteToEverywhere) {
  struct Case {
    const char* what;
    std::vector<DefaultRoute> routes;  // identities: 1 eth0, 2 wlan0, 3 tun0, 4 docker0, 5 veth0
    const char* chosen;
  };
  const Case cases[] = {
      {"lowest metric", {{1, false, 0, 100}, {2, false, 0, 600}}, "eth0"},
      {"lowest metric, listed later", {{1, false, 0, 100}, {2, false, 0, 50}}, "wlan0"},
      {"IPv4 before IPv6", {{2, true, 0, 1}, {1, false, 0, 100}}, "eth0"},
      {"IPv6 alone", {{2, true, 0, 1024}}, "wlan0"},
      {"a tunnel's default route", {{1, false, 0, 100}, {3, false, 0, 0}}, "tun0"},
      {"a VPN's halves over the default", {{1, false, 0, 0}, {3, false, 1, 500}, {3, false, 1, 500}}, "tun0"},
      {"a container link carrying it", {{4, false, 0, 0}}, "docker0"},
      {"a route by an unlisted link", {{9, false, 0, 0}, {2, false, 0, 700}}, "wlan0"},
      {"no route: first hardware link", {}, "wlan0"},
  };
  for (const Case& c : cases) {
    testing::ScriptedInterfaceTable source;
    source.Add("lo", kIfTypeLoopback, 6);
    source.Add("eth0", kEth, 1);
    source.Add("wlan0", kEth, 2).hardware = true;
    source.Add("tun0", kOther, 3);
    source.Add("docker0", kEth, 4);
    source.Add("veth0", kEth, 5);
    InterfaceTable table;
    source.Read(table);
    const InterfaceRow* row = ChooseAutomaticRow(table.Rows(), c.routes);
    ASSERT_NE(row, nullptr) << c.what;
    EXPECT_EQ(row->description, c.chosen) << c.what;
  }
  // Virtual links alone and no route: nothing, so the link watched stays.
  testing::ScriptedInterfaceTable virtualOnly;
  virtualOnly.Add("veth0", kEth);
  virtualOnly.Add("virbr0", kEth);
  InterfaceTable table;
  virtualOnly.Read(table);
  EXPECT_EQ(ChooseAutomaticRow(table.Rows(), {}), nullptr);
}

}  // namespace
}  // namespace vantrel
