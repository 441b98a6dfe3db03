#include "traffic/InterfaceSelection.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

class InterfaceSelectionTest : public ::testing::Test {
 protected:
  const InterfaceRow* Choose() {
    table_.Clear();
    source.Read(table_);
    return ChooseInterfaceRow(table_.Rows(), connection);
  }

  testing::ScriptedInterfaceTable source;
  std::string connection;

 private:
  InterfaceTable table_;
};

TEST_F(InterfaceSelectionTest, EmptyConnectionTakesFirstEthernetAndRemembersIt) {
  source.Add("A", kIfTypeLoopback);
  source.Add("B", kIfTypeEthernet).inOctets = 20;
  source.Add("C", kIfTypeEthernet).inOctets = 30;
  const InterfaceRow* row = Choose();
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->description, "B");
  EXPECT_EQ(row->inOctets, 20u);
  EXPECT_EQ(connection, "B");
}

TEST_F(InterfaceSelectionTest, PppAndWifiAreEligibleForTheAutomaticChoice) {
  for (const std::uint32_t type : {kIfTypePpp, kIfTypeIeee80211}) {
    source.rows.clear();
    connection.clear();
    source.Add("tun0", kIfTypeOther);
    source.Add("link", type);
    ASSERT_NE(Choose(), nullptr) << "type " << type;
    EXPECT_EQ(connection, "link");
  }
}

TEST_F(InterfaceSelectionTest, NoEligibleRowLeavesConnectionEmptyAndSelectsNothing) {
  source.Add("lo", kIfTypeLoopback);
  source.Add("wg0", kIfTypeOther);
  EXPECT_EQ(Choose(), nullptr);
  EXPECT_EQ(connection, "");
}

// Virtual links of the Ethernet class (ifb, bridge, veth, tap) are listed
// before the adapter; the first Ethernet or PPP row backed by hardware is
// taken, and only without one the first of them at all.
TEST_F(InterfaceSelectionTest, EmptyConnectionPrefersAHardwareBackedLink) {
  struct Case {
    const char* what;
    std::vector<std::pair<const char*, bool>> ethernet;  // name, hardware
    const char* expected;
  };
  const Case cases[] = {
      {"adapter after virtual links",
       {{"ifb0", false}, {"br0", false}, {"enp3s0", true}, {"wlan0", true}},
       "enp3s0"},
      {"no adapter", {{"ifb0", false}, {"veth1", false}}, "ifb0"},
      {"adapter first", {{"eth0", true}, {"docker0", false}}, "eth0"},
  };
  for (const Case& c : cases) {
    source.rows.clear();
    connection.clear();
    source.Add("lo", kIfTypeLoopback).hardware = false;
    source.Add("wwan0", kIfTypeOther).hardware = true;  // hardware, but not of an eligible type
    for (const auto& [name, hardware] : c.ethernet) source.Add(name, kIfTypeEthernet).hardware = hardware;
    const InterfaceRow* row = Choose();
    ASSERT_NE(row, nullptr) << c.what;
    EXPECT_EQ(row->description, c.expected) << c.what;
    EXPECT_EQ(connection, c.expected) << c.what;
  }
}

TEST_F(InterfaceSelectionTest, StoredConnectionIsMatchedExactlyEvenWhenItIsVirtual) {
  connection = "ifb0";
  source.Add("ifb0", kIfTypeEthernet);
  source.Add("eth0", kIfTypeEthernet).hardware = true;
  const InterfaceRow* row = Choose();
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->description, "ifb0");
  EXPECT_EQ(connection, "ifb0");
}

TEST_F(InterfaceSelectionTest, LastOfEqualDescriptionsWins) {
  connection = "B";
  source.Add("B", kIfTypeEthernet).inOctets = 1;
  source.Add("X", kIfTypeEthernet);
  source.Add("B", kIfTypeEthernet).inOctets = 2;
  const InterfaceRow* row = Choose();
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->inOctets, 2u);
}

TEST_F(InterfaceSelectionTest, AutomaticChoiceIsFollowedByExactMatchesOnly) {
  // Once the first Ethernet row has been taken, a later row of the same
  // name replaces it, but a differently named one does not.
  source.Add("eth0", kIfTypeEthernet).inOctets = 1;
  source.Add("eth1", kIfTypeEthernet).inOctets = 2;
  source.Add("eth0", kIfTypeEthernet).inOctets = 3;
  const InterfaceRow* row = Choose();
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->inOctets, 3u);
  EXPECT_EQ(connection, "eth0");
}

TEST_F(InterfaceSelectionTest, MatchIsCaseSensitiveAndAbsentNameSelectsNothing) {
  connection = "ETH0";
  source.Add("eth0", kIfTypeEthernet);
  EXPECT_EQ(Choose(), nullptr);
  EXPECT_EQ(connection, "ETH0");
}

TEST_F(InterfaceSelectionTest, EmptyDescriptionMatchesEmptyConnection) {
  source.Add("", kIfTypeOther).inOctets = 7;
  source.Add("eth0", kIfTypeEthernet);
  const InterfaceRow* row = Choose();
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->inOctets, 7u);
  EXPECT_EQ(connection, "");
}

TEST_F(InterfaceSelectionTest, LongDescriptionIsRememberedAsItsFirst255BytesAndStillMatches) {
  const std::string longName(300, 'n');
  source.Add(longName, kIfTypeEthernet);
  ASSERT_NE(Choose(), nullptr);
  EXPECT_EQ(connection.size(), 255u);
  // The next tick finds the same row by the clipped text.
  EXPECT_NE(Choose(), nullptr);
}

}  // namespace
}  // namespace vantrel
