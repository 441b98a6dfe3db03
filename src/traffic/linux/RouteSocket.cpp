#include "traffic/linux/RouteSocket.h"

#include <errno.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace vantrel {
namespace {

// The kernel answers a dump at once; the timeout only keeps a socket in a
// state nobody foresaw from stalling the bar for good.
constexpr timeval kReceiveTimeout{1, 0};

struct LinkDumpRequest {
  nlmsghdr header;
  ifinfomsg link;
};

sockaddr_nl KernelAddress() {
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  return address;
}

}  // namespace

RouteSocket::~RouteSocket() {
  Close();
}

bool RouteSocket::Open() {
  Close();
  fd_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (fd_ < 0) return false;
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;  // port 0: the kernel picks a free one
  socklen_t localLength = sizeof local;
  if (setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &kReceiveTimeout, sizeof kReceiveTimeout) != 0 ||
      bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
      getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
      localLength != sizeof local || local.nl_family != AF_NETLINK) {
    Close();
    return false;
  }
  portId_ = local.nl_pid;
  return true;
}

void RouteSocket::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  portId_ = 0;
}

bool RouteSocket::RequestLinkDump(std::uint32_t& sequence) {
  if (fd_ < 0) return false;
  LinkDumpRequest request{};
  request.header.nlmsg_len = sizeof request;
  request.header.nlmsg_type = RTM_GETLINK;
  request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  request.header.nlmsg_seq = ++sequence_;
  request.header.nlmsg_pid = portId_;
  request.link.ifi_family = AF_UNSPEC;
  const sockaddr_nl kernel = KernelAddress();
  ssize_t sent;
  do {
    sent =
        sendto(fd_, &request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel);
  } while (sent < 0 && errno == EINTR);
  if (sent != static_cast<ssize_t>(sizeof request)) return false;
  sequence = request.header.nlmsg_seq;
  return true;
}

RouteSocket::Received RouteSocket::Receive(std::span<std::byte> buffer, std::size_t& length) {
  length = 0;
  if (fd_ < 0) return Received::kFailed;
  for (;;) {
    sockaddr_nl from{};
    iovec chunk{buffer.data(), buffer.size()};
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &chunk;
    message.msg_iovlen = 1;
    // MSG_TRUNC: the result is the datagram's whole length even when it was
    // cut to fit the buffer.
    const ssize_t received = recvmsg(fd_, &message, MSG_TRUNC);
    if (received < 0) {
      if (errno == EINTR) continue;
      return Received::kFailed;
    }
    if (message.msg_namelen != sizeof from || from.nl_family != AF_NETLINK || from.nl_pid != 0) {
      continue;
    }
    length = static_cast<std::size_t>(received);
    if ((message.msg_flags & MSG_TRUNC) != 0 || length > buffer.size()) return Received::kTruncated;
    return Received::kDatagram;
  }
}

}  // namespace vantrel
