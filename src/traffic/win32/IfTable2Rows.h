#pragma once

// The sockets headers go before windows.h, and the IP Helper after it.
#include <winsock2.h>
#include <ws2ipdef.h>

#include <windows.h>

#include <iphlpapi.h>

#include <span>

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

}  // namespace vantrel
