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

}  // namespace vantrel
