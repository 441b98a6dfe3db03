#include "traffic/linux/LinkDumpParser.h"

#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/if_arp.h>

#include <functional>
#include <memory>

#include "LinkDumpBuilder.h"

namespace vantrel {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::Field;
using testing::LinkDumpBuilder;

auto Row(const std::string& description, std::uint32_t type, std::uint32_t identity, std::uint64_t in,
         std::uint64_t out) {
  return AllOf(Field("description", &InterfaceRow::description, description),
               Field("type", &InterfaceRow::type, type), Field("identity", &InterfaceRow::identity, identity),
               Field("inOctets", &InterfaceRow::inOctets, in),
               Field("outOctets", &InterfaceRow::outOctets, out));
}

// A copy of `bytes` in a heap block of exactly their size, so that a read
// past the end is caught by AddressSanitizer.
class ExactBuffer {
 public:
  explicit ExactBuffer(std::span<const std::byte> bytes, std::size_t offset = 0)
      : block_(new std::byte[offset + bytes.size()]), offset_(offset), size_(bytes.size()) {
    std::copy(bytes.begin(), bytes.end(), block_.get() + offset);
  }
  std::span<const std::byte> Bytes() const { return {block_.get() + offset_, size_}; }

 private:
  std::unique_ptr<std::byte[]> block_;
  std::size_t offset_;
  std::size_t size_;
};

LinkDumpStatus Parse(std::span<const std::byte> bytes, InterfaceTable& table) {
  const ExactBuffer buffer(bytes);
  return ParseLinkDump(buffer.Bytes(), table);
}

// A table that already holds a row, to see that a failed reading empties it.
InterfaceTable TableWithOldRow() {
  InterfaceTable table;
  table.Append().description = "old0";
  return table;
}

LinkDumpBuilder ThreeLinks() {
  LinkDumpBuilder dump;
  dump.FullLink(1, ARPHRD_LOOPBACK, "lo", 1000, 1000)
      .FullLink(2, ARPHRD_ETHER, "enp3s0", 7'000'000'000, 123)
      .FullLink(5, ARPHRD_PPP, "ppp0", 10, 20)
      .Done();
  return dump;
}

TEST(LinkDumpParserTest, ReadsEveryLinkInTheKernelsOrder) {
  LinkDumpBuilder dump;
  dump.FullLink(1, ARPHRD_LOOPBACK, "lo", 1000, 1001)
      .FullLink(7, ARPHRD_ETHER, "wlp2s0", 7'000'000'000, 9'000'000'001)
      .FullLink(3, ARPHRD_PPP, "ppp0", 10, 20)
      .FullLink(4, ARPHRD_NONE, "wg0", 30, 40)
      .FullLink(9, ARPHRD_ETHER, "a-name-of-15ch", 50, 60)
      .Done();
  // One byte off any alignment: the reader copies every field out.
  const ExactBuffer misaligned(dump.Bytes(), 1);
  InterfaceTable table;
  ASSERT_EQ(ParseLinkDump(misaligned.Bytes(), table), LinkDumpStatus::kDone);
  EXPECT_THAT(table.Rows(),
              ElementsAre(Row("lo", kIfTypeLoopback, 1, 1000, 1001),
                          Row("wlp2s0", kIfTypeEthernet, 7, 7'000'000'000, 9'000'000'001),
                          Row("ppp0", kIfTypePpp, 3, 10, 20), Row("wg0", kIfTypeOther, 4, 30, 40),
                          Row("a-name-of-15ch", kIfTypeEthernet, 9, 50, 60)));
}

TEST(LinkDumpParserTest, MapsHardwareTypesToInterfaceTypes) {
  EXPECT_EQ(InterfaceTypeFromArphrd(ARPHRD_ETHER), kIfTypeEthernet);
  EXPECT_EQ(InterfaceTypeFromArphrd(ARPHRD_PPP), kIfTypePpp);
  EXPECT_EQ(InterfaceTypeFromArphrd(ARPHRD_LOOPBACK), kIfTypeLoopback);
  EXPECT_EQ(InterfaceTypeFromArphrd(ARPHRD_TUNNEL), kIfTypeOther);
  EXPECT_EQ(InterfaceTypeFromArphrd(ARPHRD_NONE), kIfTypeOther);
  EXPECT_EQ(InterfaceTypeFromArphrd(ARPHRD_IEEE80211_RADIOTAP), kIfTypeOther);
}

TEST(LinkDumpParserTest, Prefers64BitCountersAndFallsBackTo32Bit) {
  LinkDumpBuilder dump;
  dump.Link(1, ARPHRD_ETHER).Name("both").Stats64(5'000'000'000, 6'000'000'000).Stats32(1, 2);
  dump.Link(2, ARPHRD_ETHER).Name("only32").Stats32(4'000'000'000, 17);
  dump.Link(3, ARPHRD_ETHER).Name("none");
  dump.Done();
  InterfaceTable table;
  ASSERT_EQ(Parse(dump.Bytes(), table), LinkDumpStatus::kDone);
  EXPECT_THAT(table.Rows(), ElementsAre(Row("both", kIfTypeEthernet, 1, 5'000'000'000, 6'000'000'000),
                                        Row("only32", kIfTypeEthernet, 2, 4'000'000'000, 17),
                                        Row("none", kIfTypeEthernet, 3, 0, 0)));
}

TEST(LinkDumpParserTest, ReadsAReplySpreadOverSeveralDatagrams) {
  LinkDumpBuilder first;
  first.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 2).FullLink(2, ARPHRD_ETHER, "eth0", 3, 4);
  LinkDumpBuilder second;
  second.FullLink(3, ARPHRD_ETHER, "eth1", 5, 6);
  LinkDumpBuilder last;
  last.Done();

  InterfaceTable table = TableWithOldRow();
  LinkDumpParser parser;
  parser.Start(LinkDumpBuilder::kSequence, LinkDumpBuilder::kPort, table);
  EXPECT_TRUE(table.Empty());
  EXPECT_EQ(parser.Feed(ExactBuffer(first.Bytes()).Bytes()), LinkDumpStatus::kMore);
  EXPECT_EQ(parser.Feed(ExactBuffer(second.Bytes()).Bytes()), LinkDumpStatus::kMore);
  EXPECT_EQ(parser.Feed(ExactBuffer(last.Bytes()).Bytes()), LinkDumpStatus::kDone);
  EXPECT_THAT(table.Rows(),
              ElementsAre(Row("lo", kIfTypeLoopback, 1, 1, 2), Row("eth0", kIfTypeEthernet, 2, 3, 4),
                          Row("eth1", kIfTypeEthernet, 3, 5, 6)));
  // The reading is over: a stray datagram adds nothing.
  EXPECT_EQ(parser.Feed(second.Bytes()), LinkDumpStatus::kDone);
  EXPECT_EQ(table.Size(), 3u);
}

TEST(LinkDumpParserTest, ANewReadingReplacesTheRowsOfTheLast) {
  InterfaceTable table;
  ASSERT_EQ(Parse(ThreeLinks().Bytes(), table), LinkDumpStatus::kDone);
  LinkDumpBuilder smaller;
  smaller.FullLink(1, ARPHRD_LOOPBACK, "lo", 5, 5).Done();
  ASSERT_EQ(Parse(smaller.Bytes(), table), LinkDumpStatus::kDone);
  EXPECT_THAT(table.Rows(), ElementsAre(Row("lo", kIfTypeLoopback, 1, 5, 5)));
}

TEST(LinkDumpParserTest, PassesOverAttributesAndMessagesItHasNoUseFor) {
  const unsigned char odd[5] = {1, 2, 3, 4, 5};
  const std::uint32_t nested = 0;
  LinkDumpBuilder dump;
  dump.Message(NLMSG_NOOP);
  dump.Link(1, ARPHRD_ETHER)
      .Attribute(999, odd, sizeof odd)    // unknown, with padding after it
      .Attribute(IFLA_GROUP, nullptr, 0)  // empty
      .Attribute(IFLA_LINKINFO | NLA_F_NESTED, &nested, sizeof nested)
      .Name("eth0")
      .Stats64(11, 12)
      .Attribute(IFLA_MTU, odd, 1);  // the last one, one byte long
  dump.Message(RTM_NEWADDR).Append(odd, sizeof odd);
  dump.FullLink(2, ARPHRD_ETHER, "eth1", 13, 14);
  dump.Done();
  InterfaceTable table;
  ASSERT_EQ(Parse(dump.Bytes(), table), LinkDumpStatus::kDone);
  EXPECT_THAT(table.Rows(),
              ElementsAre(Row("eth0", kIfTypeEthernet, 1, 11, 12), Row("eth1", kIfTypeEthernet, 2, 13, 14)));
}

TEST(LinkDumpParserTest, TakesTheNameUpToItsNulAndRefusesALinkWithoutOne) {
  {
    LinkDumpBuilder dump;
    const char padded[] = "eth0\0rest";
    dump.Link(1, ARPHRD_ETHER).Attribute(IFLA_IFNAME, padded, sizeof padded);
    dump.Link(2, ARPHRD_ETHER).Name("");
    dump.Done();
    InterfaceTable table;
    ASSERT_EQ(Parse(dump.Bytes(), table), LinkDumpStatus::kDone);
    EXPECT_THAT(table.Rows(),
                ElementsAre(Row("eth0", kIfTypeEthernet, 1, 0, 0), Row("", kIfTypeEthernet, 2, 0, 0)));
  }
  {
    LinkDumpBuilder unnamed;
    unnamed.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 1).Link(2, ARPHRD_ETHER).Stats64(1, 2);
    unnamed.Done();
    InterfaceTable table = TableWithOldRow();
    EXPECT_EQ(Parse(unnamed.Bytes(), table), LinkDumpStatus::kFailed);
    EXPECT_TRUE(table.Empty());
  }
  {
    LinkDumpBuilder unterminated;
    unterminated.Link(1, ARPHRD_ETHER).Attribute(IFLA_IFNAME, "eth0", 4).Stats64(1, 2);
    unterminated.Done();
    InterfaceTable table = TableWithOldRow();
    EXPECT_EQ(Parse(unterminated.Bytes(), table), LinkDumpStatus::kFailed);
    EXPECT_TRUE(table.Empty());
  }
}

TEST(LinkDumpParserTest, AReplyCutShortAnywhereFailsAndLeavesNoRows) {
  const LinkDumpBuilder dump = ThreeLinks();
  for (std::size_t length = 0; length < dump.bytes.size(); ++length) {
    InterfaceTable table = TableWithOldRow();
    EXPECT_EQ(Parse(dump.Bytes().first(length), table), LinkDumpStatus::kFailed) << "cut at " << length;
    EXPECT_TRUE(table.Empty()) << "cut at " << length;
  }
}

// Offsets in a reply whose first message is a link.
constexpr std::size_t kFirstLength = offsetof(nlmsghdr, nlmsg_len);
constexpr std::size_t kFirstAttribute = sizeof(nlmsghdr) + sizeof(ifinfomsg);

TEST(LinkDumpParserTest, RefusesLengthsThatDoNotFit) {
  const std::size_t total = ThreeLinks().bytes.size();
  struct Case {
    const char* what;
    std::function<void(LinkDumpBuilder&)> spoil;
  };
  const Case cases[] = {
      {"message length 0", [](auto& d) { d.template Poke<std::uint32_t>(kFirstLength, 0); }},
      {"message length below its header", [](auto& d) { d.template Poke<std::uint32_t>(kFirstLength, 15); }},
      {"message length past the datagram",
       [total](auto& d) {
         d.template Poke<std::uint32_t>(kFirstLength, static_cast<std::uint32_t>(total + 4));
       }},
      {"message length 2^32 - 1", [](auto& d) { d.template Poke<std::uint32_t>(kFirstLength, 0xFFFFFFFF); }},
      {"attribute length 0", [](auto& d) { d.template Poke<std::uint16_t>(kFirstAttribute, 0); }},
      {"attribute length below its header",
       [](auto& d) { d.template Poke<std::uint16_t>(kFirstAttribute, 3); }},
      {"attribute length past its message",
       [](auto& d) { d.template Poke<std::uint16_t>(kFirstAttribute, 0xFFF0); }},
  };
  for (const Case& c : cases) {
    LinkDumpBuilder dump = ThreeLinks();
    c.spoil(dump);
    InterfaceTable table = TableWithOldRow();
    EXPECT_EQ(Parse(dump.Bytes(), table), LinkDumpStatus::kFailed) << c.what;
    EXPECT_TRUE(table.Empty()) << c.what;
  }
}

TEST(LinkDumpParserTest, RefusesBlocksTooShortForWhatIsReadFromThem) {
  const unsigned char zeros[40] = {};
  const std::function<void(LinkDumpBuilder&)> cases[] = {
      // a link header cut to half
      [&](auto& d) { d.Message(RTM_NEWLINK).Append(zeros, 8); },
      // 64-bit statistics that end inside tx_bytes
      [&](auto& d) { d.Link(2, ARPHRD_ETHER).Name("eth0").Attribute(IFLA_STATS64, zeros, 31); },
      // 32-bit statistics that end inside tx_bytes
      [&](auto& d) { d.Link(2, ARPHRD_ETHER).Name("eth0").Attribute(IFLA_STATS, zeros, 15); },
      // stray bytes after the last attribute, too few for another
      [&](auto& d) {
        d.Link(2, ARPHRD_ETHER).Name("eth0").Append(zeros, 2);
        d.template Poke<std::uint32_t>(d.OpenMessage(),
                                       static_cast<std::uint32_t>(d.bytes.size() - d.OpenMessage() - 2));
      },
      // stray bytes between two messages
      [&](auto& d) { d.bytes.insert(d.bytes.end(), 8, std::byte{0}); },
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    LinkDumpBuilder dump;
    dump.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 1);
    cases[i](dump);
    dump.Done();
    InterfaceTable table = TableWithOldRow();
    EXPECT_EQ(Parse(dump.Bytes(), table), LinkDumpStatus::kFailed) << "case " << i;
    EXPECT_TRUE(table.Empty()) << "case " << i;
  }
}

TEST(LinkDumpParserTest, FailsWhenTheKernelReportsAnError) {
  const std::function<void(LinkDumpBuilder&)> endings[] = {
      [](auto& d) { d.Error(-ENOBUFS); },
      [](auto& d) { d.Error(0); },  // an acknowledgement is no end of a dump
      [](auto& d) { d.Done(-EINTR); },
      [](auto& d) { d.Message(NLMSG_OVERRUN); },
      [](auto&) {},  // no end at all
  };
  for (std::size_t i = 0; i < std::size(endings); ++i) {
    LinkDumpBuilder dump;
    dump.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 1).FullLink(2, ARPHRD_ETHER, "eth0", 2, 2);
    endings[i](dump);
    InterfaceTable table = TableWithOldRow();
    EXPECT_EQ(Parse(dump.Bytes(), table), LinkDumpStatus::kFailed) << "ending " << i;
    EXPECT_TRUE(table.Empty()) << "ending " << i;
  }
}

TEST(LinkDumpParserTest, RefusesMessagesThatAnswerAnotherRequest) {
  for (const bool otherPort : {false, true}) {
    LinkDumpBuilder dump;
    dump.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 1).Done();
    InterfaceTable table = TableWithOldRow();
    LinkDumpParser parser;
    parser.Start(LinkDumpBuilder::kSequence + (otherPort ? 0 : 1),
                 LinkDumpBuilder::kPort + (otherPort ? 1 : 0), table);
    EXPECT_EQ(parser.Feed(dump.Bytes()), LinkDumpStatus::kFailed);
    EXPECT_TRUE(table.Empty());
  }
}

TEST(LinkDumpParserTest, ADumpThatRanWhileLinksChangedIsToBeReadAgain) {
  LinkDumpBuilder dump;
  dump.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 1);
  dump.Link(2, ARPHRD_ETHER, NLM_F_MULTI | NLM_F_DUMP_INTR).Name("eth0");
  dump.FullLink(3, ARPHRD_ETHER, "eth1", 1, 1);
  dump.Done();
  InterfaceTable table;
  EXPECT_EQ(Parse(dump.Bytes(), table), LinkDumpStatus::kInconsistent);
  EXPECT_TRUE(table.Empty());
}

TEST(LinkDumpParserTest, AnEmptyDatagramFails) {
  InterfaceTable table;
  LinkDumpParser parser;
  parser.Start(1, 1, table);
  EXPECT_EQ(parser.Feed({}), LinkDumpStatus::kFailed);
  EXPECT_EQ(Parse({}, table), LinkDumpStatus::kFailed);
}

}  // namespace
}  // namespace vantrel
