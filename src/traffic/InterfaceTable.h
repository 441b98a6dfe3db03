#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace vantrel {

// Interface type codes, as the adapters report them.
inline constexpr std::uint32_t kIfTypeOther = 1;
inline constexpr std::uint32_t kIfTypeEthernet = 6;
inline constexpr std::uint32_t kIfTypePpp = 23;
inline constexpr std::uint32_t kIfTypeLoopback = 24;
inline constexpr std::uint32_t kIfTypeIeee80211 = 71;  // Wi-Fi, where the platform tells it apart

// An octet counter as the signed 64-bit count the measurement works in,
// held at the largest such count (which no interface reaches in practice).
inline std::int64_t CounterValue(std::uint64_t octets) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  return static_cast<std::int64_t>(octets > kMax ? kMax : octets);
}

// One row of the system's interface table.
struct InterfaceRow {
  std::string description;  // the text the user picks the interface by
  std::uint32_t type = kIfTypeOther;
  std::uint32_t identity = 0;   // the platform's handle for this interface; a
                                // re-created interface gets a new one
  std::uint64_t inOctets = 0;   // octets received (download counter)
  std::uint64_t outOctets = 0;  // octets sent (upload counter)
  bool hardware = false;        // backed by a device of its own (an adapter),
                                // not a virtual link such as a bridge or tunnel
};

// The rows of one reading, in the order the system gave them. Rows are reused
// between readings so that a steady table is read without heap allocation.
class InterfaceTable {
 public:
  void Clear() { count_ = 0; }

  // A row to fill in, appended at the end.
  InterfaceRow& Append() {
    if (count_ == rows_.size()) rows_.emplace_back();
    InterfaceRow& row = rows_[count_++];
    row.description.clear();
    row.type = kIfTypeOther;
    row.identity = 0;
    row.inOctets = 0;
    row.outOctets = 0;
    row.hardware = false;
    return row;
  }

  std::span<const InterfaceRow> Rows() const { return {rows_.data(), count_}; }
  std::span<InterfaceRow> Rows() { return {rows_.data(), count_}; }
  std::size_t Size() const { return count_; }
  bool Empty() const { return count_ == 0; }

 private:
  std::vector<InterfaceRow> rows_;
  std::size_t count_ = 0;
};

// A route that the traffic to everywhere takes: a default route (prefix
// length 0), or one of the two halves (length 1) that some VPNs put in front
// of the default route so as to take its traffic without replacing it.
struct DefaultRoute {
  std::uint32_t identity = 0;  // the link it leaves by (InterfaceRow::identity)
  bool ipv6 = false;
  std::uint32_t prefixLength = 0;  // 0 or 1
  std::uint32_t metric = 0;
  bool operator==(const DefaultRoute&) const = default;
};

// The platform service that reads the interface table.
class InterfaceTableSource {
 public:
  virtual ~InterfaceTableSource() = default;

  // Replaces the contents of `table` with a fresh reading. Returns false when
  // the table cannot be read; `table` is then empty.
  virtual bool Read(InterfaceTable& table) = 0;

  // Reads the one link whose identity is `identity` into `row` (its
  // description and counters at least), for a tick that needs no more. False
  // when that link is gone or the platform reads no single link; the whole
  // table is read then.
  virtual bool ReadOne(std::uint32_t identity, InterfaceRow& row) {
    static_cast<void>(identity);
    static_cast<void>(row);
    return false;
  }

  // Replaces `routes` with the routes to everywhere, in the system's order.
  // False (and `routes` empty) when the route table cannot be read.
  virtual bool ReadDefaultRoutes(std::vector<DefaultRoute>& routes) {
    routes.clear();
    return false;
  }
};

}  // namespace vantrel
