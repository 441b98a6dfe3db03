#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "traffic/InterfaceTable.h"

namespace vantrel::testing {

// An interface table whose rows and routes a test sets directly. `readable`
// false makes the next reads fail; `singleReads` makes single links readable.
class ScriptedInterfaceTable final : public InterfaceTableSource {
 public:
  bool Read(InterfaceTable& table) override {
    table.Clear();
    ++reads;
    if (!readable) return false;
    for (const InterfaceRow& row : rows) table.Append() = row;
    return true;
  }

  bool ReadOne(std::uint32_t identity, InterfaceRow& row) override {
    if (!singleReads || !readable) return false;
    ++oneReads;
    for (const InterfaceRow& candidate : rows) {
      if (candidate.identity != identity) continue;
      row = candidate;
      return true;
    }
    return false;
  }

  bool ReadDefaultRoutes(std::vector<DefaultRoute>& out) override {
    out = routes;
    return readable;
  }

  InterfaceRow& Add(std::string description, std::uint32_t type, std::uint32_t identity = 0) {
    InterfaceRow row;
    row.description = std::move(description);
    row.type = type;
    row.identity = identity == 0 ? static_cast<std::uint32_t>(rows.size() + 1) : identity;
    rows.push_back(row);
    return rows.back();
  }

  std::vector<InterfaceRow> rows;
  std::vector<DefaultRoute> routes;
  bool readable = true;
  bool singleReads = false;
  int reads = 0;
  int oneReads = 0;
};

}  // namespace vantrel::testing
