#include "traffic/AdapterList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/ScriptedInterfaceTable.h"
#include "traffic/ConnectionText.h"

namespace vantrel {
namespace {

using ::testing::ElementsAre;

TEST(AdapterListTest, ListsEveryInterfaceButLoopbackInTableOrder) {
  testing::ScriptedInterfaceTable source;
  source.Add("lo", kIfTypeLoopback);
  source.Add("wlan0", kIfTypeEthernet);
  source.Add("wg0", kIfTypeOther);
  source.Add("eth0", kIfTypeEthernet);
  EXPECT_THAT(ListAdapters(source), ElementsAre("wlan0", "wg0", "eth0"));
}

TEST(AdapterListTest, HardwareBackedLinksComeFirstEachInTableOrder) {
  testing::ScriptedInterfaceTable source;
  source.Add("lo", kIfTypeLoopback);
  source.Add("ifb0", kIfTypeEthernet);
  source.Add("enp3s0", kIfTypeEthernet).hardware = true;
  source.Add("br0", kIfTypeEthernet);
  source.Add("wlan0", kIfTypeEthernet).hardware = true;
  EXPECT_THAT(ListAdapters(source), ElementsAre("enp3s0", "wlan0", "ifb0", "br0"));
}

TEST(AdapterListTest, UnreadableTableGivesAnEmptyList) {
  testing::ScriptedInterfaceTable source;
  source.Add("eth0", kIfTypeEthernet);
  source.readable = false;
  EXPECT_TRUE(ListAdapters(source).empty());
}

TEST(ConnectionTextTest, ClipsAt255BytesWithoutSplittingACharacter) {
  EXPECT_EQ(ClipConnectionText("eth0"), "eth0");
  const std::string exact(255, 'a');
  EXPECT_EQ(ClipConnectionText(exact), exact);
  // 254 ASCII bytes then a two-byte letter: byte 255 would split it.
  const std::string split = std::string(254, 'a') + "\xC3\xA9" + "tail";
  EXPECT_EQ(ClipConnectionText(split), std::string(254, 'a'));
  // A three-byte letter ending exactly at byte 255 stays whole.
  const std::string whole = std::string(252, 'a') + "\xE2\x82\xAC" + "x";
  EXPECT_EQ(ClipConnectionText(whole), std::string(252, 'a') + "\xE2\x82\xAC");
}

}  // namespace
}  // namespace vantrel
