#include "traffic/linux/RouteSocket.h"

#include <errno.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>

namespace vantrel {
namespace {

// The kernel answers a dump at once; the timeout only keeps a socket in a
// state nobody foresaw from stalling the bar for good.
constexpr timeval kReceiveTimeout{1, 0};

// A request: its header, then the message that says what is asked for.
template <typename Body>
struct Request {
  nlmsghdr header;
  Body body;
};

// A request of `type` with `flags` beside NLM_F_REQUEST and a body of
// zeros; Send numbers it.
template <typename Body>
Request<Body> MakeRequest(std::uint16_t type, std::uint16_t flags) {
  Request<Body> request{};
  request.header.nlmsg_len = sizeof request;
  request.header.nlmsg_type = type;
  request.header.nlmsg_flags = static_cast<std::uint16_t>(NLM_F_REQUEST | flags);
  return request;
}

sockaddr_nl KernelAddress() {
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  return address;
}

}  // namespace

RouteSocket::~RouteSocket() {
  Close();
}

bool RouteSocket::Open(std::uint32_t groups) {
  Close();
  fd_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | (groups != 0 ? SOCK_NONBLOCK : 0), NETLINK_ROUTE);
  if (fd_ < 0) return false;
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;  // port 0: the kernel picks a free one
  local.nl_groups = groups;
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
  auto request = MakeRequest<ifinfomsg>(RTM_GETLINK, NLM_F_DUMP);  // of every family (AF_UNSPEC)
  return Send(&request, sizeof request, sequence);
}

bool RouteSocket::RequestLink(std::uint32_t index, std::uint32_t& sequence) {
  auto request = MakeRequest<ifinfomsg>(RTM_GETLINK, 0);
  request.body.ifi_index = static_cast<int>(index);
  return Send(&request, sizeof request, sequence);
}

bool RouteSocket::RequestRouteDump(std::uint8_t family, std::uint32_t& sequence) {
  auto request = MakeRequest<rtmsg>(RTM_GETROUTE, NLM_F_DUMP);
  request.body.rtm_family = family;
  return Send(&request, sizeof request, sequence);
}

bool RouteSocket::Send(void* request, std::size_t size, std::uint32_t& sequence) {
  if (fd_ < 0) return false;
  // Each request starts with its header, which is numbered here.
  nlmsghdr header;
  std::memcpy(&header, request, sizeof header);
  header.nlmsg_seq = ++sequence_;
  header.nlmsg_pid = portId_;
  std::memcpy(request, &header, sizeof header);
  const sockaddr_nl kernel = KernelAddress();
  ssize_t sent;
  do {
    sent = sendto(fd_, request, size, 0, reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel);
  } while (sent < 0 && errno == EINTR);
  if (sent != static_cast<ssize_t>(size)) return false;
  sequence = header.nlmsg_seq;
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
      if (errno == EAGAIN || errno == EWOULDBLOCK) return Received::kNothing;
      if (errno == ENOBUFS) return Received::kOverrun;
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
