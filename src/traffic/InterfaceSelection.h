#pragma once

#include <span>
#include <string>

#include "traffic/InterfaceTable.h"

namespace vantrel {

// Picks the monitored row of `rows` by its description.
//
// A row whose description equals `connection` byte for byte is chosen; of
// several equal rows the last one wins. While `connection` is empty and no
// row has matched, the first Ethernet, PPP or Wi-Fi row is chosen and its
// description is written into `connection`, which makes the choice stick.
// Returns the chosen row, or nullptr.
const InterfaceRow* ChooseInterfaceRow(std::span<const InterfaceRow> rows, std::string& connection);

}  // namespace vantrel
