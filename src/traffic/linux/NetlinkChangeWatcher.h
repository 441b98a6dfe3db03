#pragma once

#include <array>
#include <cstddef>

#include "traffic/linux/RouteSocket.h"

namespace vantrel {

// What the kernel's notices since the last look said changed.
struct NetworkChanges {
  bool links = false;   // a link came, went, or changed its name or state
  bool routes = false;  // an IPv4 or IPv6 route came or went
};

// Listens to the kernel's notices of changed links and routes (the rtnetlink
// link and route groups) on a socket of its own, which the bar's event loop
// watches. Belongs to the network namespace of the thread that makes it.
class NetlinkChangeWatcher {
 public:
  NetlinkChangeWatcher();

  // The socket to watch for reading; -1 when it could not be opened.
  int Descriptor() const { return socket_.Descriptor(); }

  // Reads every notice waiting, without blocking. Notices that were lost
  // because too many came at once count as changes of both kinds.
  NetworkChanges Drain();

 private:
  RouteSocket socket_;
  std::array<std::byte, 8192> buffer_;
};

}  // namespace vantrel
