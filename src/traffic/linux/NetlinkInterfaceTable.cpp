#include "traffic/linux/NetlinkInterfaceTable.h"

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

bool NetlinkInterfaceTable::Read(InterfaceTable& table) {
  for (int attempt = 0; attempt < kDumpAttempts; ++attempt) {
    switch (Dump(table)) {
      case Outcome::kDone:
        return true;
      case Outcome::kAgain:
        continue;
      case Outcome::kFailed:
        socket_.Close();
        table.Clear();
        return false;
    }
  }
  table.Clear();
  return false;
}

NetlinkInterfaceTable::Outcome NetlinkInterfaceTable::Dump(InterfaceTable& table) {
  table.Clear();
  if (!socket_.IsOpen() && !socket_.Open()) return Outcome::kFailed;
  std::uint32_t sequence = 0;
  if (!socket_.RequestLinkDump(sequence)) return Outcome::kFailed;
  parser_.Start(sequence, socket_.PortId(), table);
  for (;;) {
    std::size_t length = 0;
    switch (socket_.Receive(buffer_, length)) {
      case RouteSocket::Received::kDatagram:
        break;
      case RouteSocket::Received::kTruncated:
        // The rest of this reply is still on its way: start over on a fresh
        // socket with a buffer that fits.
        table.Clear();
        socket_.Close();
        if (length > kMaxBufferSize) return Outcome::kFailed;
        buffer_.resize(std::max({length, 2 * buffer_.size(), kReceiveBufferSize}));
        return Outcome::kAgain;
      case RouteSocket::Received::kFailed:
        return Outcome::kFailed;
    }
    switch (parser_.Feed(std::span<const std::byte>(buffer_).first(length))) {
      case LinkDumpStatus::kMore:
        break;
      case LinkDumpStatus::kDone:
        // A kernel that names one parent names them all (an older one may
        // have had the attribute added by its distribution).
        kernelNamesParents_ = kernelNamesParents_ || parser_.ParentsNamed();
        if (!kernelNamesParents_) sysfs_.Mark(table);
        return Outcome::kDone;
      case LinkDumpStatus::kInconsistent:
        return Outcome::kAgain;  // the reply ended cleanly; the socket can be used again
      case LinkDumpStatus::kFailed:
        return Outcome::kFailed;
    }
  }
}

std::unique_ptr<InterfaceTableSource> CreatePlatformInterfaceTable() {
  return std::make_unique<NetlinkInterfaceTable>();
}

}  // namespace vantrel
