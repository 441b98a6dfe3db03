#pragma once

#include "bar/qt/BarDialogs.h"
#include "traffic/InterfaceTable.h"

namespace vantrel {

// The program's own Options dialog and About box.
class QtBarDialogs final : public BarDialogs {
 public:
  explicit QtBarDialogs(InterfaceTableSource& adapters) : adapters_(adapters) {}

  bool RunOptions(QWidget* bar, BarSettings& settings) override;
  void RunAbout(QWidget* bar) override;

 private:
  InterfaceTableSource& adapters_;
};

}  // namespace vantrel
