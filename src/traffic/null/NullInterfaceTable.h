#pragma once

#include "traffic/InterfaceTable.h"

namespace vantrel {

// An interface table that can never be read: for tests and for platforms
// without one.
class NullInterfaceTable final : public InterfaceTableSource {
 public:
  bool Read(InterfaceTable& table) override {
    table.Clear();
    return false;
  }
};

}  // namespace vantrel
