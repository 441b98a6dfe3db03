#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vantrel {

// A NETLINK_ROUTE socket that asks the kernel for its links and routes and
// receives the replies, or that listens to the kernel's notices of changed
// links and routes. The socket belongs to the network namespace of the
// thread that opens it.
class RouteSocket {
 public:
  enum class Received {
    kDatagram,   // a datagram from the kernel is in the buffer
    kTruncated,  // the buffer was too small; the datagram is lost
    kFailed,     // the socket failed or timed out
    kNothing,    // a receive that does not wait found nothing waiting
    kOverrun,    // notices were lost, as the socket's queue was full
  };

  RouteSocket() = default;
  RouteSocket(const RouteSocket&) = delete;
  RouteSocket& operator=(const RouteSocket&) = delete;
  ~RouteSocket();

  // With `groups` (RTMGRP_* bits) the socket also receives the kernel's
  // notices to those groups; such a socket never blocks.
  bool Open(std::uint32_t groups = 0);
  int Descriptor() const { return fd_; }
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // The port the kernel addresses its replies to.
  std::uint32_t PortId() const { return portId_; }

  // Sends an RTM_GETLINK dump request and sets `sequence` to its number.
  bool RequestLinkDump(std::uint32_t& sequence);
  // Asks for the one link of index `index` (RTM_GETLINK), likewise.
  bool RequestLink(std::uint32_t index, std::uint32_t& sequence);
  // Asks for every route of address family `family` (RTM_GETROUTE dump).
  bool RequestRouteDump(std::uint8_t family, std::uint32_t& sequence);

  // Waits for the next datagram from the kernel and copies it into `buffer`.
  // `length` is set to the datagram's full length, also when it did not fit.
  // Datagrams from anyone but the kernel are passed over.
  Received Receive(std::span<std::byte> buffer, std::size_t& length);

 private:
  bool Send(void* request, std::size_t size, std::uint32_t& sequence);

  int fd_ = -1;
  std::uint32_t portId_ = 0;
  std::uint32_t sequence_ = 0;
};

}  // namespace vantrel
