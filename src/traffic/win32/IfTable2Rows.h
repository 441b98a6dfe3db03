#pragma once

// The sockets headers go before windows.h, and the IP Helper after it.
#include <winsock2.h>
#include <ws2ipdef.h>

#include <windows.h>

#include <iphlpapi.h>

#include <span>
#include <vector>

#include "traffic/InterfaceTable.h"

namespace vantrel {

// Appends to `table` the rows of `rows` (GetIfTable2's) that a user can pick,
// in their order. Left out are the filter layers Windows stacks on an adapter
// and second rows of an adapter: of the rows with one description, the first
// hardware-backed one stands for the adapter, or the first one if none is.
//
// Each row gives its description in UTF-8, its interface type, its
// InterfaceIndex as identity and its 64-bit octet counters.
void AppendListedRows(std::span<const MIB_IF_ROW2> rows, InterfaceTable& table);

// `row` as a row of the table, as AppendListedRows gives it.
void AssignRow(const MIB_IF_ROW2& row, InterfaceRow& out);

// Appends to `routes` the routes to everywhere among `rows`
// (GetIpForwardTable2's): IPv4 and IPv6 routes of prefix length 0 or 1, each
// with its metric plus its interface's (from `links`, GetIpInterfaceTable's),
// as the system ranks them.
void AppendDefaultRoutes(std::span<const MIB_IPFORWARD_ROW2> rows, std::span<const MIB_IPINTERFACE_ROW> links,
                         std::vector<DefaultRoute>& routes);

}  // namespace vantrel
