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
  for (;;) {
    std::size_t length = 0;
    switch (socket_.Receive(buffer_, length)) {
      case RouteSocket::Received::kDatagram:
        break;
      case RouteSocket::Received::kNothing:
        return changes;
      case RouteSocket::Received::kFailed:
        return {true, true};
      default:
        // Notices were lost: anything may have changed.
        changes = {true, true};
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
}

}  // namespace vantrel
