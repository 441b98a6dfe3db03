#include "app/qt/QtBarDialogs.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QMenu>
#include <QUrl>

#include "controls/qt/CAboutBox.h"
#include "settings/qt/ColorPicker.h"
#include "settings/qt/OptionsCommand.h"

namespace vantrel {

QtBarDialogs::QtBarDialogs(InterfaceTableSource& adapters) : adapters_(adapters) {}

QtBarDialogs::~QtBarDialogs() = default;

void QtBarDialogs::SetBar(QWidget* bar) {
  barWindow_.reset();
  owner_ = OwnerWindow(bar);
}

void QtBarDialogs::SetBarWindow(const QRect& frame, WId window) {
  // Platforms without windows of other programs give none.
  barWindow_.reset(window != 0 ? QWindow::fromWinId(window) : nullptr);
  owner_ = OwnerWindow(frame, barWindow_.get());
}

int QtBarDialogs::TrackMenu(ScreenPoint at, std::span<const MenuItem> items) {
  QMenu menu(owner_.widget);
  for (const MenuItem& item : items) {
    if (item.command == 0) {
      menu.addSeparator();
    } else {
      menu.addAction(QString::fromUtf8(item.text))->setData(item.command);
    }
  }
  // Right edge and top at the pointer.
  const QAction* chosen = menu.exec(QPoint(at.x - menu.sizeHint().width(), at.y));
  return chosen != nullptr ? chosen->data().toInt() : 0;
}

bool QtBarDialogs::RunOptions(BarSettings& settings) {
  return RunOptionsDialog(owner_, settings, adapters_, PlatformColorPicker());
}

void QtBarDialogs::RunAbout() {
  ShowAboutBox(owner_);
}

void QtBarDialogs::OpenFile(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void QtBarDialogs::CancelAll() {
  while (QWidget* popup = QApplication::activePopupWidget()) {
    if (!popup->close()) break;
  }
  // Every open modal dialog, the colour picker inside Options included.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<QDialog*>(window); dialog != nullptr && dialog->isVisible())
      dialog->reject();
  }
}

}  // namespace vantrel
