#pragma once

#include <span>
#include <string>

#include "traffic/InterfaceTable.h"

namespace vantrel {

// Picks the monitored row of `rows` by its description.
//
// A row whose description equals `connection` byte for byte is chosen; of
// several equal rows the last one wins. While `connection` is empty, the
// first Ethernet, PPP or Wi-Fi row backed by hardware (else the first such
// row at all) is chosen and its description is written into `connection`,
// which makes the choice stick; a row of empty description ahead of every
// such row matches the empty connection instead.
// Returns the chosen row, or nullptr.
const InterfaceRow* ChooseInterfaceRow(std::span<const InterfaceRow> rows, std::string& connection);

// The link that "Automatic" watches: the one the traffic to everywhere
// leaves by. Of `routes`, IPv4 ones come before IPv6 ones; within a family
// the longer prefix wins (a VPN's halves before the default route it covers)
// and then the lowest metric, as the system routes. Routes by links not in
// `rows` are passed over. With no such route, the first Ethernet, PPP or
// Wi-Fi row backed by hardware: links of containers, virtual machines and
// bridges are only taken while they carry the route. None when not even
// such a row is present.
const InterfaceRow* ChooseAutomaticRow(std::span<const InterfaceRow> rows,
                                       std::span<const DefaultRoute> routes);

}  // namespace vantrel
