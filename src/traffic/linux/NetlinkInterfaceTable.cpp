#include "traffic/linux/NetlinkInterfaceTable.h"

#include <sys/socket.h>

#include <algorithm>
#include <memory>

#include "traffic/PlatformInterfaceTable.h"

namespace vantrel {
namespace {

// A datagram larger than the buffer (a single huge link message) makes the
// buffer grow, up to a bound.
constexpr std::size_t kMaxBufferSize = 1024 * 1024;

// A dump that had to be read again (links changed while it ran, or the
// buffer was too small) is tried this many times in one reading.
constexpr int kDumpAttempts = 3;

}  // namespace

NetlinkInterfaceTable::NetlinkInterfaceTable(std::size_t receiveBufferSize)
    : buffer_(receiveBufferSize), kernelNamesParents_(KernelNamesParentDevices()) {}

template <typename Ask, typename Start>
bool NetlinkInterfaceTable::Exchange(Ask ask, Start start) {
  for (int attempt = 0; attempt < kDumpAttempts; ++attempt) {
    switch (ExchangeOnce(ask, start)) {
      case Outcome::kDone:
        return true;
      case Outcome::kAgain:
        continue;
      case Outcome::kFailed:
        socket_.Close();
        return false;
    }
  }
  return false;
}

template <typename Ask, typename Start>
NetlinkInterfaceTable::Outcome NetlinkInterfaceTable::ExchangeOnce(Ask ask, Start start) {
  if (!socket_.IsOpen() && !socket_.Open()) return Outcome::kFailed;
  std::uint32_t sequence = 0;
  if (!ask(sequence)) return Outcome::kFailed;
  start(sequence);
  for (;;) {
    std::size_t length = 0;
    switch (socket_.Receive(buffer_, length)) {
      case RouteSocket::Received::kDatagram:
        break;
      case RouteSocket::Received::kTruncated:
        // The rest of this reply is still on its way: start over on a fresh
        // socket with a buffer that fits.
        socket_.Close();
        if (length > kMaxBufferSize) return Outcome::kFailed;
        buffer_.resize(std::max({length, 2 * buffer_.size(), kReceiveBufferSize}));
        return Outcome::kAgain;
      default:
        return Outcome::kFailed;
    }
    switch (parser_.Feed(std::span<const std::byte>(buffer_).first(length))) {
      case LinkDumpStatus::kMore:
        break;
      case LinkDumpStatus::kDone:
        return Outcome::kDone;
      case LinkDumpStatus::kInconsistent:
        return Outcome::kAgain;  // the reply ended cleanly; the socket can be used again
      case LinkDumpStatus::kFailed:
        return Outcome::kFailed;
    }
  }
}

bool NetlinkInterfaceTable::Read(InterfaceTable& table) {
  const bool read =
      Exchange([this](std::uint32_t& sequence) { return socket_.RequestLinkDump(sequence); },
               [&](std::uint32_t sequence) { parser_.Start(sequence, socket_.PortId(), table); });
  if (!read) {
    table.Clear();
    return false;
  }
  // A kernel that names one parent names them all (an older one may have had
  // the attribute added by its distribution).
  kernelNamesParents_ = kernelNamesParents_ || parser_.ParentsNamed();
  if (!kernelNamesParents_) sysfs_.Mark(table);
  return true;
}

bool NetlinkInterfaceTable::ReadOne(std::uint32_t identity, InterfaceRow& row) {
  const bool read =
      Exchange([&](std::uint32_t& sequence) { return socket_.RequestLink(identity, sequence); },
               [this](std::uint32_t sequence) { parser_.Start(sequence, socket_.PortId(), single_); });
  if (!read || single_.Size() != 1 || single_.Rows()[0].identity != identity) return false;
  row = single_.Rows()[0];
  return true;
}

bool NetlinkInterfaceTable::ReadDefaultRoutes(std::vector<DefaultRoute>& routes) {
  const bool read =
      Exchange([this](std::uint32_t& sequence) { return socket_.RequestRouteDump(AF_UNSPEC, sequence); },
               [&](std::uint32_t sequence) { parser_.Start(sequence, socket_.PortId(), routes); });
  if (!read) routes.clear();
  return read;
}

std::unique_ptr<InterfaceTableSource> CreatePlatformInterfaceTable() {
  return std::make_unique<NetlinkInterfaceTable>();
}

}  // namespace vantrel
