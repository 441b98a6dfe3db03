#pragma once

#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace vantrel::testing {

// Builds kernel replies to an RTM_GETLINK dump byte by byte, laid out as the
// kernel lays them out (4-byte alignment, lengths that include padding).
class LinkDumpBuilder {
 public:
  static constexpr std::uint32_t kSequence = 41;
  static constexpr std::uint32_t kPort = 3'000'123;

  // Opens a message; the following attributes belong to it.
  LinkDumpBuilder& Message(std::uint16_t type, std::uint16_t flags = NLM_F_MULTI,
                           std::uint32_t sequence = kSequence, std::uint32_t port = kPort) {
    open_ = bytes.size();
    nlmsghdr header{};
    header.nlmsg_len = sizeof header;
    header.nlmsg_type = type;
    header.nlmsg_flags = flags;
    header.nlmsg_seq = sequence;
    header.nlmsg_pid = port;
    Put(&header, sizeof header);
    return *this;
  }

  // An RTM_NEWLINK message with its ifinfomsg.
  LinkDumpBuilder& Link(int index, std::uint16_t arphrdType, std::uint16_t flags = NLM_F_MULTI) {
    Message(RTM_NEWLINK, flags);
    ifinfomsg info{};
    info.ifi_family = AF_UNSPEC;
    info.ifi_type = arphrdType;
    info.ifi_index = index;
    return Append(&info, sizeof info);
  }

  LinkDumpBuilder& Attribute(std::uint16_t type, const void* data, std::size_t size) {
    rtattr header{};
    header.rta_len = static_cast<unsigned short>(sizeof header + size);
    header.rta_type = type;
    Put(&header, sizeof header);
    return Append(data, size);
  }

  // IFLA_IFNAME with its terminating NUL.
  LinkDumpBuilder& Name(std::string_view name) {
    std::vector<char> text(name.begin(), name.end());
    text.push_back('\0');
    return Attribute(IFLA_IFNAME, text.data(), text.size());
  }

  LinkDumpBuilder& Stats64(std::uint64_t rxBytes, std::uint64_t txBytes) {
    rtnl_link_stats64 stats{};
    stats.rx_packets = 3;
    stats.tx_packets = 5;
    stats.rx_bytes = rxBytes;
    stats.tx_bytes = txBytes;
    stats.rx_errors = 7;
    return Attribute(IFLA_STATS64, &stats, sizeof stats);
  }

  LinkDumpBuilder& Stats32(std::uint32_t rxBytes, std::uint32_t txBytes) {
    rtnl_link_stats stats{};
    stats.rx_packets = 3;
    stats.tx_packets = 5;
    stats.rx_bytes = rxBytes;
    stats.tx_bytes = txBytes;
    return Attribute(IFLA_STATS, &stats, sizeof stats);
  }

  // A complete link as the kernel sends it: name, some attributes the reader
  // does not use, and both statistics blocks.
  LinkDumpBuilder& FullLink(int index, std::uint16_t arphrdType, std::string_view name, std::uint64_t rx,
                            std::uint64_t tx) {
    const std::uint32_t mtu = 1500;
    const unsigned char address[6] = {0x02, 0, 0, 0, 0, static_cast<unsigned char>(index)};
    return Link(index, arphrdType)
        .Name(name)
        .Attribute(IFLA_MTU, &mtu, sizeof mtu)
        .Attribute(IFLA_ADDRESS, address, sizeof address)
        .Stats32(static_cast<std::uint32_t>(rx), static_cast<std::uint32_t>(tx))
        .Stats64(rx, tx);
  }

  LinkDumpBuilder& Done(std::int32_t result = 0, std::uint16_t flags = NLM_F_MULTI) {
    Message(NLMSG_DONE, flags);
    return Append(&result, sizeof result);
  }

  LinkDumpBuilder& Error(std::int32_t code) {
    Message(NLMSG_ERROR, 0);
    nlmsgerr error{};
    error.error = code;
    return Append(&error, sizeof error);
  }

  std::span<const std::byte> Bytes() const { return bytes; }

  // Where the message being built starts.
  std::size_t OpenMessage() const { return open_; }

  // Overwrites a value at `offset`, to spoil a well-formed reply.
  template <typename T>
  void Poke(std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
  }

  // Adds bytes to the open message, padded to 4.
  LinkDumpBuilder& Append(const void* data, std::size_t size) {
    Put(data, size);
    while (bytes.size() % 4 != 0) bytes.push_back(std::byte{0});
    const auto length = static_cast<std::uint32_t>(bytes.size() - open_);
    std::memcpy(bytes.data() + open_ + offsetof(nlmsghdr, nlmsg_len), &length, sizeof length);
    return *this;
  }

  std::vector<std::byte> bytes;

 private:
  void Put(const void* data, std::size_t size) {
    const auto* first = static_cast<const std::byte*>(data);
    bytes.insert(bytes.end(), first, first + size);
  }

  std::size_t open_ = 0;
};

}  // namespace vantrel::testing
