#include "traffic/InterfaceSelection.h"

#include "traffic/ConnectionText.h"

namespace vantrel {
namespace {

// The kinds of interface the automatic choice takes: the usual ways into a
// network, wired, dial-up or wireless.
bool IsEligibleForAutomaticChoice(std::uint32_t type) {
  return type == kIfTypeEthernet || type == kIfTypePpp || type == kIfTypeIeee80211;
}

}  // namespace

const InterfaceRow* ChooseInterfaceRow(std::span<const InterfaceRow> rows, std::string& connection) {
  const InterfaceRow* chosen = nullptr;
  bool matched = false;
  for (const InterfaceRow& row : rows) {
    // A description is held in a field of kMaxConnectionLength bytes, so it
    // is compared and copied as that field would hold it.
    const std::string_view description = ClipConnectionText(row.description);
    if (description == connection) {
      chosen = &row;
      matched = true;
    } else if (!matched && connection.empty() && IsEligibleForAutomaticChoice(row.type)) {
      chosen = &row;
      connection.assign(description);
    }
  }
  return chosen;
}

}  // namespace vantrel
