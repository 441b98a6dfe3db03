#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "traffic/InterfaceTable.h"

namespace vantrel::testing {

// An interface table whose rows a test sets directly. `readable` false makes
// the next reads fail.
class ScriptedInterfaceTable final : public InterfaceTableSource {
 public:
  bool Read(InterfaceTable& table) override {
    table.Clear();
    ++reads;
    if (!readable) return false;
    for (const InterfaceRow& row : rows) table.Append() = row;
    return true;
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
  bool readable = true;
  int reads = 0;
};

}  // namespace vantrel::testing
