// Shows the About box or the Options dialog over a stand-in bar along the
// bottom (or top) edge of the screen, for looking at them on a real display
// (tools/shoot-dialogs). Prints each shown dialog's frame and the screen
// centres of its controls, one per line: "name x y" and "frame x y w h", and
// the work area ("workarea x y w h"). On X11 the bar reserves its strip (with
// xprop), as the real one does. Over a bar at the top, the Options dialog
// has Automatic on.
//
//   vantrel_dialog_preview about|options [top]
#include <cstdio>
#include <string>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "controls/qt/CAboutBox.h"
#include "settings/qt/ColorPicker.h"
#include "settings/qt/OptionsCommand.h"
#include "support/ScriptedInterfaceTable.h"

namespace {

class StandInBar final : public QWidget {
 public:
  StandInBar() { setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(16, 112, 48));
    painter.setPen(QColor(192, 192, 192));
    painter.drawText(rect().adjusted(8, 0, 0, 0), Qt::AlignVCenter, "stand-in bar");
  }
};

// Reserves the bar's strip with the window manager, as the real bar does, so
// that the work area leaves it out; waits until the screen reports it.
void ReserveStrip(QWidget& bar, bool top) {
  if (QGuiApplication::platformName() != "xcb") return;
  const QRect screen = bar.screen()->geometry();
  const QRect before = bar.screen()->availableGeometry();
  const int end = screen.x() + screen.width() - 1;
  const QString strut = top ? QString("0, 0, %1, 0, 0, 0, 0, 0, 0, %2, 0, 0").arg(bar.height()).arg(end)
                            : QString("0, 0, 0, %1, 0, 0, 0, 0, 0, 0, 0, %2").arg(bar.height()).arg(end);
  QProcess::execute("xprop", {"-id", QString::number(bar.winId()), "-f", "_NET_WM_STRUT_PARTIAL", "32c",
                              "-set", "_NET_WM_STRUT_PARTIAL", strut});
  QElapsedTimer waited;
  waited.start();
  while (bar.screen()->availableGeometry() == before && waited.elapsed() < 3000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
}

// Reports every modal dialog once it has settled on the screen.
void ReportModalDialogs() {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [] {
    static QWidget* reported = nullptr;
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr || dialog == reported || !dialog->isVisible()) return;
    reported = dialog;
    QTimer::singleShot(500, dialog, [dialog] {
      const QRect frame = dialog->frameGeometry();
      const QRect work = dialog->screen()->availableGeometry();
      std::printf("dialog %s\nframe %d %d %d %d\nworkarea %d %d %d %d\n", dialog->metaObject()->className(),
                  frame.x(), frame.y(), frame.width(), frame.height(), work.x(), work.y(), work.width(),
                  work.height());
      for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->objectName().isEmpty()) continue;
        const QPoint centre = child->mapToGlobal(child->rect().center());
        std::printf("%s %d %d\n", child->objectName().toUtf8().constData(), centre.x(), centre.y());
      }
      std::fflush(stdout);
    });
  });
  poll->start(50);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string which = argc > 1 ? argv[1] : "options";
  const bool top = argc > 2 && std::string(argv[2]) == "top";

  StandInBar bar;
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  bar.setGeometry(screen.x(), top ? screen.y() : screen.y() + screen.height() - 30, screen.width(), 30);
  bar.show();
  ReserveStrip(bar, top);
  ReportModalDialogs();

  if (which == "about") {
    vantrel::ShowAboutBox(&bar);
    return 0;
  }
  vantrel::testing::ScriptedInterfaceTable table;
  table.Add("Software Loopback Interface 1", vantrel::kIfTypeLoopback);
  table.Add("Realtek PCIe GbE Family Controller", vantrel::kIfTypeEthernet);
  table.Add("Intel(R) Wi-Fi 6 AX201 160MHz - Packet Scheduler Miniport", 71);
  table.Add("WAN Miniport (PPP)", vantrel::kIfTypePpp);
  vantrel::BarSettings settings;
  settings.connection = "Realtek PCIe GbE Family Controller";
  settings.automaticConnection = top ? 1 : 0;
  const bool ok = vantrel::RunOptionsDialog(&bar, settings, table, vantrel::PlatformColorPicker());
  std::printf("result %s\n", ok ? "ok" : "cancel");
  return 0;
}
