#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "traffic/InterfaceTable.h"

namespace vantrel {

// Where the reading of a link dump stands after a part of the kernel's reply.
enum class LinkDumpStatus {
  kMore,          // every message so far was sound; the reply goes on in the next datagram
  kDone,          // the end of the dump arrived; the table holds every link
  kInconsistent,  // the dump ended, but links came or went while it ran: read it again
  kFailed,        // the kernel reported an error, or a message was malformed
};

// The interface type code for a link of hardware type `arphrdType` (ifi_type).
// Wireless links report Ethernet framing and count as Ethernet.
std::uint32_t InterfaceTypeFromArphrd(std::uint16_t arphrdType);

// Reads the kernel's reply to one RTM_GETLINK request into an interface
// table: one row per RTM_NEWLINK message, in the kernel's order; a link
// counts as hardware when the kernel names its parent device. The reply to a
// dump request ends with NLMSG_DONE, the reply about one link with its one
// message. Or reads the reply to an RTM_GETROUTE dump into the routes to
// everywhere that it holds (unicast routes of prefix length 0 or 1 with an
// outgoing link, of any table but the local one). A reply arrives in
// datagrams, each of which holds whole messages; feed them in the order they
// were received.
//
// Every length is checked before anything is read, and nothing is read from
// outside the bytes handed in. A reply that fails leaves the table empty:
// there is never a partial table.
class LinkDumpParser {
 public:
  // Starts reading the reply to the request numbered `sequence` that was sent
  // from netlink port `portId`. Clears `table`, which must outlive the
  // reading.
  void Start(std::uint32_t sequence, std::uint32_t portId, InterfaceTable& table);
  // Likewise for a route dump; clears `routes`.
  void Start(std::uint32_t sequence, std::uint32_t portId, std::vector<DefaultRoute>& routes);

  // Reads one datagram. Once kDone, kInconsistent or kFailed is returned the
  // reading is over and further parts are not looked at.
  LinkDumpStatus Feed(std::span<const std::byte> part);

  // Whether any link of this reply named the device it sits on. A kernel
  // that names parents at all (5.14 on) names them for every such link, so
  // a reply without any comes from an older kernel or from a namespace of
  // virtual links only.
  bool ParentsNamed() const { return parentsNamed_; }

 private:
  LinkDumpStatus Fail();
  LinkDumpStatus Finish(std::span<const std::byte> payload);
  bool ReadLink(std::span<const std::byte> payload);
  bool ReadRoute(std::span<const std::byte> payload);
  void Restart(std::uint32_t sequence, std::uint32_t portId);
  void Discard();

  InterfaceTable* table_ = nullptr;
  std::vector<DefaultRoute>* routes_ = nullptr;
  std::uint32_t sequence_ = 0;
  std::uint32_t portId_ = 0;
  bool interrupted_ = false;
  bool parentsNamed_ = false;
  LinkDumpStatus status_ = LinkDumpStatus::kFailed;
};

// Reads a whole reply held in one buffer (the datagrams one after another),
// answering the request named by its first message. For captured replies.
LinkDumpStatus ParseLinkDump(std::span<const std::byte> reply, InterfaceTable& table);

}  // namespace vantrel
