#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vantrel {

// A NETLINK_ROUTE socket that asks the kernel for its link table and receives
// the reply. The socket belongs to the network namespace of the thread that
// opens it.
class RouteSocket {
 public:
  enum class Received {
    kDatagram,   // a datagram from the kernel is in the buffer
    kTruncated,  // the buffer was too small; the datagram is lost
    kFailed,     // the socket failed or timed out
  };

  RouteSocket() = default;
  RouteSocket(const RouteSocket&) = delete;
  RouteSocket& operator=(const RouteSocket&) = delete;
  ~RouteSocket();

  bool Open();
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // The port the kernel addresses its replies to.
  std::uint32_t PortId() const { return portId_; }

  // Sends an RTM_GETLINK dump request and sets `sequence` to its number.
  bool RequestLinkDump(std::uint32_t& sequence);

  // Waits for the next datagram from the kernel and copies it into `buffer`.
  // `length` is set to the datagram's full length, also when it did not fit.
  // Datagrams from anyone but the kernel are passed over.
  Received Receive(std::span<std::byte> buffer, std::size_t& length);

 private:
  int fd_ = -1;
  std::uint32_t portId_ = 0;
  std::uint32_t sequence_ = 0;
};

}  // namespace vantrel
