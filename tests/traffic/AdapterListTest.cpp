#include "traffic/AdapterList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/ScriptedInterfaceTable.h"
#include "traffic/ConnectionText.h"

namespace vantrel {
namespace {

using ::testing::ElementsAre;

// Every interface but loopback: the hardware-backed ones first, each group in
// table order; none when the table cannot be read.
TEST(AdapterListTest, ListsHardwareLinksFirstAndNoLoopback) {
  testing::ScriptedInterfaceTable source;
  source.Add("lo", kIfTypeLoopback);
  source.Add("ifb0", kIfTypeEthernet);
  source.Add("enp3s0", kIfTypeEthernet).hardware = true;
  source.Add("wg0", kIfTypeOther);
  source.Add("wlan0", kIfTypeEthernet).hardware = true;
  EXPECT_THAT(ListAdapters(source), ElementsAre("enp3s0", "wlan0", "ifb0", "wg0"));
  source.readable = false;
  EXPECT_TRUE(ListAdapters(source).empty());
}

TEST(ConnectionTextTest, ClipsAt255BytesWithoutSplittingACharacter) {
  const std::string exact(255, 'a');
  EXPECT_EQ(ClipConnectionText(exact), exact);
  // 254 ASCII bytes then a two-byte letter: byte 255 would split it.
  EXPECT_EQ(ClipConnectionText(std::string(254, 'a') + "\xC3\xA9" + "tail"), std::string(254, 'a'));
  // A three-byte letter ending exactly at byte 255 stays whole.
  const std::string whole = std::string(252, 'a') + "\xE2\x82\xAC";
  EXPECT_EQ(ClipConnectionText(whole + "x"), whole);
}

}  // namespace
}  // namespace vantrel
