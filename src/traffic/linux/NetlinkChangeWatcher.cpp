#include "traffic/linux/NetlinkChangeWatcher.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <cstring>

namespace vantrel {

NetlinkChangeWatcher::NetlinkChangeWatcher() {
  socket_.Open(RTMGRP_LINK | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE);
}

NetworkChanges NetlinkChangeWatcher::Drain() {
  NetworkChanges changes;
  std::size_t length = 0;
  for (RouteSocket::Received received;
       (received = socket_.Receive(buffer_, length)) != RouteSocket::Received::kNothing;) {
    // Notices lost, or a socket that fails: anything may have changed.
    if (received != RouteSocket::Received::kDatagram) {
      changes = {true, true};
      if (received == RouteSocket::Received::kFailed) break;
      continue;
    }
    // Only the kind of each notice matters, read from its header.
    for (std::size_t at = 0; at + sizeof(nlmsghdr) <= length;) {
      nlmsghdr header;
      std::memcpy(&header, buffer_.data() + at, sizeof header);
      if (header.nlmsg_len < sizeof header) break;
      const bool link = header.nlmsg_type == RTM_NEWLINK || header.nlmsg_type == RTM_DELLINK;
      changes.links = changes.links || link;
      changes.routes = changes.routes || !link;
      at += NLMSG_ALIGN(header.nlmsg_len);
    }
  }
  return changes;
}

}  // namespace vantrel
