#include "traffic/linux/LinkDumpParser.h"

#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/if_arp.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vantrel {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::Field;

constexpr std::uint32_t kSequence = 41;
constexpr std::uint32_t kPort = 3'000'123;

// Builds kernel replies to an RTM_GETLINK dump byte by byte, laid out as the
// kernel lays them out (4-byte alignment, lengths that include padding).
class LinkDumpBuilder {
 public:
  // Opens a message; the following attributes belong to it.
  LinkDumpBuilder& Message(std::uint16_t type, std::uint16_t flags = NLM_F_MULTI,
                           std::uint32_t sequence = kSequence, std::uint32_t port = kPort) {
    open_ = bytes.size();
    const nlmsghdr header{0, type, flags, sequence, port};
    return Append(&header, sizeof header);
  }

  // An RTM_NEWLINK message with its ifinfomsg.
  LinkDumpBuilder& Link(int index, std::uint16_t arphrdType, std::uint16_t flags = NLM_F_MULTI) {
    const ifinfomsg info{AF_UNSPEC, 0, arphrdType, index, 0, 0};
    return Message(RTM_NEWLINK, flags).Append(&info, sizeof info);
  }

  LinkDumpBuilder& Attribute(std::uint16_t type, const void* data, std::size_t size) {
    const rtattr header{static_cast<unsigned short>(sizeof(rtattr) + size), type};
    Put(&header, sizeof header);
    return Append(data, size);
  }

  // A text with its terminating NUL: IFLA_IFNAME, or the parent device's
  // name and bus, which kernels from 5.14 on give for hardware links.
  LinkDumpBuilder& Text(std::string_view text, std::uint16_t type = IFLA_IFNAME) {
    return Attribute(type, std::string(text).c_str(), text.size() + 1);
  }
  LinkDumpBuilder& Name(std::string_view name) { return Text(name); }

  // The packet counts before the byte counters are not zero, so that reading the wrong field shows.
  template <typename Stats>
  LinkDumpBuilder& Counters(decltype(Stats::rx_bytes) rx, decltype(Stats::tx_bytes) tx) {
    Stats stats{};
    stats.rx_packets = 3, stats.tx_packets = 5, stats.rx_bytes = rx, stats.tx_bytes = tx;
    return Attribute(std::is_same_v<Stats, rtnl_link_stats> ? IFLA_STATS : IFLA_STATS64, &stats,
                     sizeof stats);
  }
  LinkDumpBuilder& Stats64(std::uint64_t rx, std::uint64_t tx) { return Counters<rtnl_link_stats64>(rx, tx); }
  LinkDumpBuilder& Stats32(std::uint32_t rx, std::uint32_t tx) { return Counters<rtnl_link_stats>(rx, tx); }

  // A link with its name and both blocks of counters, the 32-bit one first.
  LinkDumpBuilder& FullLink(int index, std::uint16_t arphrdType, std::string_view name, std::uint64_t rx,
                            std::uint64_t tx) {
    return Link(index, arphrdType)
        .Name(name)
        .Stats32(static_cast<std::uint32_t>(rx), static_cast<std::uint32_t>(tx))
        .Stats64(rx, tx);
  }

  LinkDumpBuilder& Done(std::int32_t result = 0, std::uint32_t sequence = kSequence,
                        std::uint32_t port = kPort) {
    return Message(NLMSG_DONE, NLM_F_MULTI, sequence, port).Append(&result, sizeof result);
  }

  // Adds bytes to the open message, padded to 4.
  LinkDumpBuilder& Append(const void* data, std::size_t size) {
    Put(data, size);
    bytes.resize((bytes.size() + 3) & ~std::size_t{3});
    SetLength(Length());
    return *this;
  }

  // Overwrites a value at `offset`, to spoil a well-formed reply.
  template <typename T>
  void Poke(std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
  }
  void SetLength(std::uint32_t length) { Poke(open_ + offsetof(nlmsghdr, nlmsg_len), length); }
  // The length of the message being built.
  std::uint32_t Length() const { return static_cast<std::uint32_t>(bytes.size() - open_); }

  std::vector<std::byte> bytes;

 private:
  void Put(const void* data, std::size_t size) {
    const auto* first = static_cast<const std::byte*>(data);
    bytes.insert(bytes.end(), first, first + size);
  }

  std::size_t open_ = 0;
};

auto Row(const std::string& description, std::uint32_t type, std::uint32_t identity, std::uint64_t in,
         std::uint64_t out) {
  return AllOf(Field("description", &InterfaceRow::description, description),
               Field("type", &InterfaceRow::type, type), Field("identity", &InterfaceRow::identity, identity),
               Field("inOctets", &InterfaceRow::inOctets, in),
               Field("outOctets", &InterfaceRow::outOctets, out));
}

// A copy of `bytes` in a heap block of exactly their size (after `offset`
// bytes), so that a read past the end is caught by AddressSanitizer.
class ExactBuffer {
 public:
  explicit ExactBuffer(std::span<const std::byte> bytes, std::size_t offset = 0)
      : block_(offset + bytes.size()), offset_(offset) {
    std::copy(bytes.begin(), bytes.end(), block_.begin() + static_cast<std::ptrdiff_t>(offset));
  }
  std::span<const std::byte> Bytes() const { return std::span(block_).subspan(offset_); }

 private:
  std::vector<std::byte> block_;
  std::size_t offset_;
};

// A table that already holds a row, to see that a failed reading empties it.
struct TableWithOldRow : InterfaceTable {
  TableWithOldRow() { Append().description = "old0"; }
};

LinkDumpStatus Parse(std::span<const std::byte> bytes, InterfaceTable& table) {
  return ParseLinkDump(ExactBuffer(bytes).Bytes(), table);
}

// Links of each hardware type, with either block of counters or both in
// either order, among attributes and messages the reader passes over; the
// reply lies one byte off any alignment, so every field must be copied out.
TEST(LinkDumpParserTest, ReadsEveryLinkInTheKernelsOrder) {
  const unsigned char odd[5] = {1, 2, 3, 4, 5};
  const char padded[] = "wg0\0rest";
  LinkDumpBuilder dump;
  dump.FullLink(1, ARPHRD_LOOPBACK, "lo", 1000, 1001).Message(NLMSG_NOOP);
  dump.FullLink(7, ARPHRD_ETHER, "wlp2s0", 7'000'000'000, 9'000'000'001);
  dump.Link(3, ARPHRD_PPP).Name("ppp0").Stats32(4'000'000'000, 17);
  dump.Message(RTM_NEWADDR).Append(odd, sizeof odd);
  dump.Link(4, ARPHRD_NONE)
      .Attribute(999, odd, sizeof odd)    // unknown, with padding after it
      .Attribute(IFLA_GROUP, nullptr, 0)  // empty
      .Attribute(IFLA_LINKINFO | NLA_F_NESTED, odd, 4)
      .Attribute(IFLA_IFNAME, padded, sizeof padded)  // the name ends at its NUL
      .Stats64(5'000'000'000, 6'000'000'000)
      .Stats32(1, 2)
      .Attribute(IFLA_MTU, odd, 1);  // the last one, one byte long
  dump.Link(9, ARPHRD_TUNNEL).Name("").Done();
  const ExactBuffer misaligned(dump.bytes, 1);
  TableWithOldRow table;
  ASSERT_EQ(ParseLinkDump(misaligned.Bytes(), table), LinkDumpStatus::kDone);
  EXPECT_THAT(table.Rows(), ElementsAre(Row("lo", kIfTypeLoopback, 1, 1000, 1001),
                                        Row("wlp2s0", kIfTypeEthernet, 7, 7'000'000'000, 9'000'000'001),
                                        Row("ppp0", kIfTypePpp, 3, 4'000'000'000, 17),
                                        Row("wg0", kIfTypeOther, 4, 5'000'000'000, 6'000'000'000),
                                        Row("", kIfTypeOther, 9, 0, 0)));
}

// Only a link whose parent device is named counts as hardware; the reader
// tells whether the reply named any parent at all.
TEST(LinkDumpParserTest, ALinkWithANamedParentDeviceIsHardware) {
  LinkDumpBuilder dump;
  dump.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 1);
  dump.FullLink(2, ARPHRD_ETHER, "ifb0", 0, 0);
  dump.Link(3, ARPHRD_ETHER)
      .Name("enp3s0")
      .Text("0000:03:00.0", IFLA_PARENT_DEV_NAME)
      .Text("pci", IFLA_PARENT_DEV_BUS_NAME)
      .Stats64(5, 6);
  dump.Link(4, ARPHRD_ETHER)
      .Text("virtio2", IFLA_PARENT_DEV_NAME)
      .Text("virtio", IFLA_PARENT_DEV_BUS_NAME)
      .Name("eth1")
      .Done();
  LinkDumpParser parser;
  TableWithOldRow table;
  parser.Start(kSequence, kPort, table);
  ASSERT_EQ(parser.Feed(ExactBuffer(dump.bytes).Bytes()), LinkDumpStatus::kDone);
  std::vector<bool> hardware;
  for (const InterfaceRow& row : table.Rows()) hardware.push_back(row.hardware);
  EXPECT_THAT(hardware, ElementsAre(false, false, true, true));
  EXPECT_EQ(table.Rows()[2].inOctets, 5u);
  EXPECT_TRUE(parser.ParentsNamed());

  LinkDumpBuilder virtualOnly;
  virtualOnly.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 1).FullLink(2, ARPHRD_ETHER, "veth0", 1, 1).Done();
  parser.Start(kSequence, kPort, table);
  ASSERT_EQ(parser.Feed(ExactBuffer(virtualOnly.bytes).Bytes()), LinkDumpStatus::kDone);
  EXPECT_FALSE(parser.ParentsNamed());
  EXPECT_FALSE(table.Rows()[1].hardware);
}

TEST(LinkDumpParserTest, ReadsAReplySpreadOverSeveralDatagrams) {
  LinkDumpBuilder first;
  first.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 2).FullLink(2, ARPHRD_ETHER, "eth0", 3, 4);
  LinkDumpBuilder last;
  last.FullLink(3, ARPHRD_ETHER, "eth1", 5, 6).Done();

  TableWithOldRow table;
  LinkDumpParser parser;
  parser.Start(kSequence, kPort, table);
  EXPECT_TRUE(table.Empty());
  EXPECT_EQ(parser.Feed(ExactBuffer(first.bytes).Bytes()), LinkDumpStatus::kMore);
  EXPECT_EQ(parser.Feed(ExactBuffer(last.bytes).Bytes()), LinkDumpStatus::kDone);
  EXPECT_THAT(table.Rows(),
              ElementsAre(Row("lo", kIfTypeLoopback, 1, 1, 2), Row("eth0", kIfTypeEthernet, 2, 3, 4),
                          Row("eth1", kIfTypeEthernet, 3, 5, 6)));
  // The reading is over: a stray datagram adds nothing.
  EXPECT_EQ(parser.Feed(first.bytes), LinkDumpStatus::kDone);
  EXPECT_EQ(table.Size(), 3u);

  // An empty datagram is no part of a reply.
  parser.Start(kSequence, kPort, table);
  EXPECT_EQ(parser.Feed(first.bytes), LinkDumpStatus::kMore);
  EXPECT_EQ(parser.Feed({}), LinkDumpStatus::kFailed);
  EXPECT_TRUE(table.Empty());
}

TEST(LinkDumpParserTest, ADumpThatRanWhileLinksChangedIsToBeReadAgain) {
  LinkDumpBuilder dump;
  dump.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 1);
  dump.Link(2, ARPHRD_ETHER, NLM_F_MULTI | NLM_F_DUMP_INTR).Name("eth0");
  dump.FullLink(3, ARPHRD_ETHER, "eth1", 1, 1).Done();
  TableWithOldRow table;
  EXPECT_EQ(Parse(dump.bytes, table), LinkDumpStatus::kInconsistent);
  EXPECT_TRUE(table.Empty());
}

// Offsets in a reply whose first message is a link.
constexpr std::size_t kFirstLength = offsetof(nlmsghdr, nlmsg_len);
constexpr std::size_t kFirstAttribute = sizeof(nlmsghdr) + sizeof(ifinfomsg);

constexpr nlmsgerr kNoBuffers{-ENOBUFS, {}};
constexpr nlmsgerr kAcknowledged{0, {}};

TEST(LinkDumpParserTest, AMalformedReplyOrAnErrorFailsAndLeavesNoRows) {
  const unsigned char zeros[40] = {};
  // Each case gets a reply that holds one sound link and finishes it.
  const std::pair<const char*, std::function<void(LinkDumpBuilder&)>> cases[] = {
      {"message length 0", [](auto& d) { d.Done().Poke(kFirstLength, std::uint32_t{0}); }},
      {"message length past the datagram",
       [](auto& d) { d.Done().Poke(kFirstLength, static_cast<std::uint32_t>(d.bytes.size() + 4)); }},
      {"message length 2^32 - 1", [](auto& d) { d.Done().Poke(kFirstLength, std::uint32_t{0xFFFFFFFF}); }},
      {"attribute length 0", [](auto& d) { d.Done().Poke(kFirstAttribute, std::uint16_t{0}); }},
      {"attribute length past its message",
       [](auto& d) { d.Done().Poke(kFirstAttribute, std::uint16_t{0xFFF0}); }},
      {"link header cut to half", [&](auto& d) { d.Message(RTM_NEWLINK).Append(zeros, 8).Done(); }},
      {"64-bit statistics that end inside tx_bytes",
       [&](auto& d) { d.Link(2, ARPHRD_ETHER).Name("eth0").Attribute(IFLA_STATS64, zeros, 31).Done(); }},
      {"stray bytes after the last attribute, too few for another",
       [&](auto& d) {
         d.Link(2, ARPHRD_ETHER).Name("eth0").Append(zeros, 2);
         d.SetLength(d.Length() - 2);  // the padding after them is not counted
         d.Done();
       }},
      {"stray bytes between two messages",
       [](auto& d) {
         d.bytes.resize(d.bytes.size() + 8);
         d.Done();
       }},
      {"a link without a name", [](auto& d) { d.Link(2, ARPHRD_ETHER).Stats64(1, 2).Done(); }},
      {"a parent device name without its NUL",
       [](auto& d) {
         d.Link(2, ARPHRD_ETHER).Name("eth0").Attribute(IFLA_PARENT_DEV_NAME, "pci0", 4).Done();
       }},
      {"a name without its NUL",
       [](auto& d) { d.Link(2, ARPHRD_ETHER).Attribute(IFLA_IFNAME, "eth0", 4).Stats64(1, 2).Done(); }},
      // An error ends the reading, whatever comes after it.
      {"NLMSG_ERROR",
       [](auto& d) { d.Message(NLMSG_ERROR, 0).Append(&kNoBuffers, sizeof kNoBuffers).Done(); }},
      {"an acknowledgement, which is no end of a dump",
       [](auto& d) { d.Message(NLMSG_ERROR, 0).Append(&kAcknowledged, sizeof kAcknowledged).Done(); }},
      {"NLMSG_DONE with an error", [](auto& d) { d.Done(-EINTR); }},
      {"NLMSG_OVERRUN", [](auto& d) { d.Message(NLMSG_OVERRUN).Done(); }},
      {"no end", [](auto&) {}},
      {"an end for another request", [](auto& d) { d.Done(0, kSequence + 1); }},
  };
  for (const auto& [what, finish] : cases) {
    LinkDumpBuilder dump;
    dump.FullLink(1, ARPHRD_LOOPBACK, "lo", 1, 1);
    finish(dump);
    TableWithOldRow table;
    EXPECT_EQ(Parse(dump.bytes, table), LinkDumpStatus::kFailed) << what;
    EXPECT_TRUE(table.Empty()) << what;
  }
}

}  // namespace
}  // namespace vantrel
