#pragma once

#include <cstddef>
#include <vector>

#include "traffic/InterfaceTable.h"
#include "traffic/linux/LinkDumpParser.h"
#include "traffic/linux/RouteSocket.h"
#include "traffic/linux/SysfsHardwareLinks.h"

namespace vantrel {

// The kernel's link table, read with one rtnetlink dump per reading: the
// link's name is the row's description, its index the identity, and the
// 64-bit byte counters (the 32-bit ones on kernels without them) the octet
// counters. A single link is read with an RTM_GETLINK request for its index,
// the routes with an RTM_GETROUTE dump of every family.
//
// The socket is opened on the first reading and kept; after any failure it
// is closed and the next reading opens a fresh one. It belongs to the network
// namespace of the thread that opened it. A steady table is read without heap
// allocation.
class NetlinkInterfaceTable final : public InterfaceTableSource {
 public:
  // The kernel fills a dump datagram up to 32 KiB, so a buffer of that size
  // takes any of them.
  static constexpr std::size_t kReceiveBufferSize = 32 * 1024;

  // `receiveBufferSize` is where the receive buffer starts; it grows when a
  // datagram does not fit.
  explicit NetlinkInterfaceTable(std::size_t receiveBufferSize = kReceiveBufferSize);

  bool Read(InterfaceTable& table) override;
  bool ReadOne(std::uint32_t identity, InterfaceRow& row) override;
  bool ReadDefaultRoutes(std::vector<DefaultRoute>& routes) override;

 private:
  enum class Outcome { kDone, kAgain, kFailed };
  // Sends a request with `ask` and reads its reply into the parser, which
  // `start` points at the reply's target; retried where that helps.
  template <typename Ask, typename Start>
  bool Exchange(Ask ask, Start start);
  template <typename Ask, typename Start>
  Outcome ExchangeOnce(Ask ask, Start start);

  RouteSocket socket_;
  LinkDumpParser parser_;
  std::vector<std::byte> buffer_;
  InterfaceTable single_;  // the answer about one link
  bool kernelNamesParents_;
  SysfsHardwareLinks sysfs_;
};

}  // namespace vantrel
