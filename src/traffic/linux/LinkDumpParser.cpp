#include "traffic/linux/LinkDumpParser.h"

#include <linux/if_arp.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string_view>

namespace vantrel {
namespace {

// Netlink messages and attributes start on 4-byte boundaries.
constexpr std::size_t Align4(std::size_t length) {
  return (length + 3) & ~std::size_t{3};
}

// The bytes may sit at any address, so every field is copied out.
template <typename T>
T Load(std::span<const std::byte> bytes, std::size_t offset = 0) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

constexpr std::size_t kMessageHeaderSize = sizeof(nlmsghdr);
constexpr std::size_t kAttributeHeaderSize = sizeof(rtattr);
constexpr std::size_t kLinkHeaderSize = sizeof(ifinfomsg);

// The counters are the leading fields of the statistics blocks; a block is
// long enough once it holds both of them.
constexpr std::size_t kStats64RxBytes = offsetof(rtnl_link_stats64, rx_bytes);
constexpr std::size_t kStats64TxBytes = offsetof(rtnl_link_stats64, tx_bytes);
constexpr std::size_t kStats64Needed = kStats64TxBytes + sizeof(std::uint64_t);
constexpr std::size_t kStats32RxBytes = offsetof(rtnl_link_stats, rx_bytes);
constexpr std::size_t kStats32TxBytes = offsetof(rtnl_link_stats, tx_bytes);
constexpr std::size_t kStats32Needed = kStats32TxBytes + sizeof(std::uint32_t);

// What one RTM_NEWLINK message says about its link.
struct LinkAttributes {
  std::string_view name;
  bool hasName = false;
  bool hasParent = false;  // the kernel named the device the link sits on
  bool hasStats64 = false;
  bool hasStats32 = false;
  std::uint64_t in64 = 0;
  std::uint64_t out64 = 0;
  std::uint32_t in32 = 0;
  std::uint32_t out32 = 0;
};

// The text of a string attribute, up to its NUL; none when the attribute
// holds no NUL, which the kernel never sends.
std::optional<std::string_view> TextOf(std::span<const std::byte> payload) {
  const void* end = std::memchr(payload.data(), '\0', payload.size());
  if (end == nullptr) return std::nullopt;
  const auto* text = reinterpret_cast<const char*>(payload.data());
  return std::string_view(text, static_cast<std::size_t>(static_cast<const char*>(end) - text));
}

// Calls `read(type, payload)` for each attribute in `attributes`, as long as
// it returns true. False when an attribute is malformed or `read` said so.
template <typename Read>
bool ForEachAttribute(std::span<const std::byte> attributes, Read read) {
  while (!attributes.empty()) {
    if (attributes.size() < kAttributeHeaderSize) return false;
    const auto header = Load<rtattr>(attributes);
    if (header.rta_len < kAttributeHeaderSize || header.rta_len > attributes.size()) return false;
    const auto payload = attributes.subspan(kAttributeHeaderSize, header.rta_len - kAttributeHeaderSize);
    if (!read(static_cast<unsigned>(header.rta_type & NLA_TYPE_MASK), payload)) return false;
    // The last attribute may end without its padding.
    attributes = attributes.subspan(std::min(Align4(header.rta_len), attributes.size()));
  }
  return true;
}

bool ReadAttributes(std::span<const std::byte> attributes, LinkAttributes& link) {
  return ForEachAttribute(attributes, [&link](unsigned type, std::span<const std::byte> payload) {
    switch (type) {
      case IFLA_IFNAME: {
        // The name is NUL-terminated inside its attribute; a name without
        // its NUL is not taken.
        const auto name = TextOf(payload);
        if (!name) return false;
        link.name = *name;
        link.hasName = true;
        break;
      }
      case IFLA_PARENT_DEV_NAME: {
        // Sent only for a link that sits on a device (a PCI, USB or virtio
        // function, ...); virtual links have none.
        const auto parent = TextOf(payload);
        if (!parent) return false;
        link.hasParent = !parent->empty();
        break;
      }
      case IFLA_STATS64:
        if (payload.size() < kStats64Needed) return false;
        link.in64 = Load<std::uint64_t>(payload, kStats64RxBytes);
        link.out64 = Load<std::uint64_t>(payload, kStats64TxBytes);
        link.hasStats64 = true;
        break;
      case IFLA_STATS:
        if (payload.size() < kStats32Needed) return false;
        link.in32 = Load<std::uint32_t>(payload, kStats32RxBytes);
        link.out32 = Load<std::uint32_t>(payload, kStats32TxBytes);
        link.hasStats32 = true;
        break;
      default:
        break;  // the many attributes the bar has no use for
    }
    return true;
  });
}

// A 32-bit attribute's value; false when it is too short.
bool LoadU32(std::span<const std::byte> payload, std::uint32_t& value) {
  if (payload.size() < sizeof value) return false;
  value = Load<std::uint32_t>(payload);
  return true;
}

}  // namespace

std::uint32_t InterfaceTypeFromArphrd(std::uint16_t arphrdType) {
  switch (arphrdType) {
    case ARPHRD_ETHER:
      return kIfTypeEthernet;
    case ARPHRD_PPP:
      return kIfTypePpp;
    case ARPHRD_LOOPBACK:
      return kIfTypeLoopback;
    default:
      return kIfTypeOther;
  }
}

void LinkDumpParser::Restart(std::uint32_t sequence, std::uint32_t portId) {
  table_ = nullptr;
  routes_ = nullptr;
  sequence_ = sequence;
  portId_ = portId;
  interrupted_ = false;
  parentsNamed_ = false;
  status_ = LinkDumpStatus::kMore;
}

void LinkDumpParser::Start(std::uint32_t sequence, std::uint32_t portId, InterfaceTable& table) {
  Restart(sequence, portId);
  table.Clear();
  table_ = &table;
}

void LinkDumpParser::Start(std::uint32_t sequence, std::uint32_t portId, std::vector<DefaultRoute>& routes) {
  Restart(sequence, portId);
  routes.clear();
  routes_ = &routes;
}

void LinkDumpParser::Discard() {
  if (table_ != nullptr) table_->Clear();
  if (routes_ != nullptr) routes_->clear();
}

LinkDumpStatus LinkDumpParser::Fail() {
  Discard();
  status_ = LinkDumpStatus::kFailed;
  return status_;
}

LinkDumpStatus LinkDumpParser::Finish(std::span<const std::byte> payload) {
  // NLMSG_DONE carries the dump's result: non-zero when it broke off.
  if (payload.size() >= sizeof(std::int32_t) && Load<std::int32_t>(payload) != 0) return Fail();
  if (interrupted_) {
    Discard();
    status_ = LinkDumpStatus::kInconsistent;
  } else {
    status_ = LinkDumpStatus::kDone;
  }
  return status_;
}

bool LinkDumpParser::ReadRoute(std::span<const std::byte> payload) {
  if (payload.size() < sizeof(rtmsg)) return false;
  const auto info = Load<rtmsg>(payload);
  std::uint32_t table = info.rtm_table;
  std::uint32_t link = 0;
  std::uint32_t metric = 0;
  const bool sound =
      ForEachAttribute(payload.subspan(std::min(Align4(sizeof(rtmsg)), payload.size())),
                       [&](unsigned type, std::span<const std::byte> value) {
                         switch (type) {
                           case RTA_TABLE:
                             return LoadU32(value, table);
                           case RTA_OIF:
                             return LoadU32(value, link);
                           case RTA_PRIORITY:
                             return LoadU32(value, metric);
                           case RTA_MULTIPATH:
                             // A route over several next hops leaves by the first one's link.
                             if (link == 0 && value.size() >= sizeof(rtnexthop)) {
                               link = static_cast<std::uint32_t>(Load<rtnexthop>(value).rtnh_ifindex);
                             }
                             return true;
                           default:
                             return true;
                         }
                       });
  if (!sound) return false;
  const bool everywhere = info.rtm_dst_len <= 1 && info.rtm_type == RTN_UNICAST && table != RT_TABLE_LOCAL;
  if (everywhere && link != 0 && (info.rtm_family == AF_INET || info.rtm_family == AF_INET6)) {
    routes_->push_back({link, info.rtm_family == AF_INET6, info.rtm_dst_len, metric});
  }
  return true;
}

bool LinkDumpParser::ReadLink(std::span<const std::byte> payload) {
  if (table_ == nullptr) return true;  // a route dump has no use for links
  if (payload.size() < kLinkHeaderSize) return false;
  const auto info = Load<ifinfomsg>(payload);
  LinkAttributes link;
  if (!ReadAttributes(payload.subspan(std::min(Align4(kLinkHeaderSize), payload.size())), link)) {
    return false;
  }
  // The kernel names every link; a link message without one is not sound.
  if (!link.hasName) return false;

  InterfaceRow& row = table_->Append();
  row.description.assign(link.name);
  row.type = InterfaceTypeFromArphrd(info.ifi_type);
  row.identity = static_cast<std::uint32_t>(info.ifi_index);
  row.hardware = link.hasParent;
  if (link.hasParent) parentsNamed_ = true;
  if (link.hasStats64) {
    row.inOctets = link.in64;
    row.outOctets = link.out64;
  } else if (link.hasStats32) {
    row.inOctets = link.in32;
    row.outOctets = link.out32;
  }
  return true;
}

LinkDumpStatus LinkDumpParser::Feed(std::span<const std::byte> part) {
  if (status_ != LinkDumpStatus::kMore) return status_;
  if (part.empty()) return Fail();
  while (!part.empty()) {
    if (part.size() < kMessageHeaderSize) return Fail();
    const auto header = Load<nlmsghdr>(part);
    if (header.nlmsg_len < kMessageHeaderSize || header.nlmsg_len > part.size()) return Fail();
    // Anything that does not answer this request means the socket is out of
    // step with its requests.
    if (header.nlmsg_seq != sequence_ || header.nlmsg_pid != portId_) return Fail();
    if ((header.nlmsg_flags & NLM_F_DUMP_INTR) != 0) interrupted_ = true;
    const auto payload = part.subspan(kMessageHeaderSize, header.nlmsg_len - kMessageHeaderSize);
    switch (header.nlmsg_type) {
      case NLMSG_DONE:
        return Finish(payload);
      case NLMSG_ERROR:
      case NLMSG_OVERRUN:
        return Fail();
      case RTM_NEWLINK:
        if (!ReadLink(payload)) return Fail();
        // The answer about one link is that link's message alone.
        if ((header.nlmsg_flags & NLM_F_MULTI) == 0) return Finish({});
        break;
      case RTM_NEWROUTE:
        if (routes_ != nullptr && !ReadRoute(payload)) return Fail();
        break;
      default:
        break;  // NLMSG_NOOP, and kinds of message a link dump has no use for
    }
    part = part.subspan(std::min(Align4(header.nlmsg_len), part.size()));
  }
  return status_;
}

LinkDumpStatus ParseLinkDump(std::span<const std::byte> reply, InterfaceTable& table) {
  LinkDumpParser parser;
  if (reply.size() < kMessageHeaderSize) {
    table.Clear();
    return LinkDumpStatus::kFailed;
  }
  const auto first = Load<nlmsghdr>(reply);
  parser.Start(first.nlmsg_seq, first.nlmsg_pid, table);
  const LinkDumpStatus status = parser.Feed(reply);
  if (status == LinkDumpStatus::kMore) {
    // The reply stopped before its end.
    table.Clear();
    return LinkDumpStatus::kFailed;
  }
  return status;
}

}  // namespace vantrel
