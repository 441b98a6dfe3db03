#pragma once

#include <windows.h>

#include "bar/BarHost.h"
#include "traffic/InterfaceTable.h"

namespace vantrel {

// The bar's menu and dialogs on Windows, owned by the bar's window: the
// context menu through TrackPopupMenu, the Options dialog and the About box
// from the program's dialog templates, documents through the shell's "open".
// Each runs a modal loop of its own, which goes on dispatching the bar's
// timer.
class Win32BarDialogs final : public BarDialogs {
 public:
  // `adapters` fills the Options dialog's list of interfaces.
  Win32BarDialogs(HWND owner, InterfaceTableSource& adapters) : owner_(owner), adapters_(adapters) {}

  int TrackMenu(ScreenPoint at, std::span<const MenuItem> items) override;
  bool RunOptions(BarSettings& settings) override;
  void RunAbout() override;
  void OpenFile(const std::string& path) override;
  // Closes the open menu, and as Cancel every dialog (message boxes too)
  // that the bar's window owns, directly or through another dialog.
  void CancelAll() override;

 private:
  HWND owner_;
  InterfaceTableSource& adapters_;
};

}  // namespace vantrel
