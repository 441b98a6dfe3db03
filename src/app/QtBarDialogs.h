#pragma once

#include "bar/BarHost.h"
#include "traffic/InterfaceTable.h"

class QWidget;

namespace vantrel {

// The bar's menu, Options dialog and About box on Qt Widgets, placed at the
// bar's window.
class QtBarDialogs final : public BarDialogs {
 public:
  explicit QtBarDialogs(InterfaceTableSource& adapters) : adapters_(adapters) {}

  // The window the dialogs belong to (centred over, modal to).
  void SetBar(QWidget* bar) { bar_ = bar; }

  int TrackMenu(ScreenPoint at, std::span<const MenuItem> items) override;
  bool RunOptions(BarSettings& settings) override;
  void RunAbout() override;
  void OpenFile(const std::string& path) override;
  void CancelAll() override;

 private:
  InterfaceTableSource& adapters_;
  QWidget* bar_ = nullptr;
};

}  // namespace vantrel
