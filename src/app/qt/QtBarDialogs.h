#pragma once

#include <QRect>
#include <QWindow>
#include <memory>

#include "bar/BarHost.h"
#include "controls/qt/DialogPlacement.h"
#include "traffic/InterfaceTable.h"

class QWidget;

namespace vantrel {

// The bar's menu, Options dialog and About box on Qt Widgets, placed at the
// bar's window.
class QtBarDialogs final : public BarDialogs {
 public:
  explicit QtBarDialogs(InterfaceTableSource& adapters);
  ~QtBarDialogs() override;

  // The bar as a widget of this program: the dialogs are centred over it and
  // modal to it.
  void SetBar(QWidget* bar);
  // The bar as a window of another process: the dialogs are centred over
  // `frame` (screen pixels) and transient for the native window `window`
  // (0: none).
  void SetBarWindow(const QRect& frame, WId window);

  int TrackMenu(ScreenPoint at, std::span<const MenuItem> items) override;
  bool RunOptions(BarSettings& settings) override;
  void RunAbout() override;
  void OpenFile(const std::string& path) override;
  void CancelAll() override;

 private:
  InterfaceTableSource& adapters_;
  std::unique_ptr<QWindow> barWindow_;  // the other process's window, when known
  OwnerWindow owner_;
};

}  // namespace vantrel
