#include "traffic/InterfaceSelection.h"

#include "traffic/ConnectionText.h"

namespace vantrel {
namespace {

// The kinds of interface the automatic choice takes: the usual ways into a
// network, wired, dial-up or wireless.
bool EligibleForAutomaticChoice(const InterfaceRow& row) {
  return row.type == kIfTypeEthernet || row.type == kIfTypePpp || row.type == kIfTypeIeee80211;
}

// The row an empty connection settles on: the first hardware-backed
// Ethernet, PPP or Wi-Fi row, else the first such row at all. None when
// a row of empty description comes first, since that row matches the empty
// connection as it stands.
const InterfaceRow* AutomaticChoice(std::span<const InterfaceRow> rows) {
  const InterfaceRow* first = nullptr;
  for (const InterfaceRow& row : rows) {
    if (first == nullptr && ClipConnectionText(row.description).empty()) return nullptr;
    if (!EligibleForAutomaticChoice(row)) continue;
    if (row.hardware) return &row;
    if (first == nullptr) first = &row;
  }
  return first;
}

const InterfaceRow* RowOf(std::span<const InterfaceRow> rows, std::uint32_t identity) {
  for (const InterfaceRow& row : rows) {
    if (row.identity == identity) return &row;
  }
  return nullptr;
}

// Whether `a` takes the traffic ahead of `b`.
bool RoutesAhead(const DefaultRoute& a, const DefaultRoute& b) {
  if (a.ipv6 != b.ipv6) return !a.ipv6;
  if (a.prefixLength != b.prefixLength) return a.prefixLength > b.prefixLength;
  return a.metric < b.metric;
}

}  // namespace

const InterfaceRow* ChooseAutomaticRow(std::span<const InterfaceRow> rows,
                                       std::span<const DefaultRoute> routes) {
  const DefaultRoute* best = nullptr;
  const InterfaceRow* carrier = nullptr;
  for (const DefaultRoute& route : routes) {
    if (best != nullptr && !RoutesAhead(route, *best)) continue;
    if (const InterfaceRow* row = RowOf(rows, route.identity)) {
      best = &route;
      carrier = row;
    }
  }
  if (carrier != nullptr) return carrier;
  for (const InterfaceRow& row : rows) {
    if (row.hardware && EligibleForAutomaticChoice(row)) return &row;
  }
  return nullptr;
}

const InterfaceRow* ChooseInterfaceRow(std::span<const InterfaceRow> rows, std::string& connection) {
  if (connection.empty()) {
    if (const InterfaceRow* automatic = AutomaticChoice(rows)) {
      connection.assign(ClipConnectionText(automatic->description));
    }
  }
  const InterfaceRow* chosen = nullptr;
  for (const InterfaceRow& row : rows) {
    // A description is held in a field of kMaxConnectionLength bytes, so it
    // is compared and copied as that field would hold it.
    if (ClipConnectionText(row.description) == connection) chosen = &row;
  }
  return chosen;
}

}  // namespace vantrel
