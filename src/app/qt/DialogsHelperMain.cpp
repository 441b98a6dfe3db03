// vantrel-dialogs: the bar's menu, Options dialog and About box, run by the
// bar in a process of their own on its first right-click. Requests come on
// standard input, answers go to standard output, one line each; the program
// ends when its input does.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <csignal>

#include "app/StandardStreams.h"
#include "app/qt/DialogsServer.h"
#include "app/qt/QtBarDialogs.h"
#include "controls/qt/AppResources.h"
#include "traffic/PlatformInterfaceTable.h"

namespace {

// The conversation moves to descriptors of its own, closed on exec, and
// standard input and output become /dev/null: a program the desktop starts
// from here (a viewer for the manual) neither inherits the bar's line nor
// writes into it.
bool TakeOverStandardStreams(int& input, int& output) {
  input = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  output = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
  if (input < 0 || output < 0 || null < 0) return false;
  dup2(null, STDIN_FILENO);
  dup2(null, STDOUT_FILENO);
  close(null);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  vantrel::OpenStandardStreams();
  int input = -1;
  int output = -1;
  if (!TakeOverStandardStreams(input, output)) return 1;
  // A bar that has gone shows as a failed write, not as a signal.
  std::signal(SIGPIPE, SIG_IGN);
  // The dialogs belong to the bar's X window and sit at its pointer: Qt's
  // X11 platform, in a Wayland session too (through Xwayland). Only a
  // Wayland session without Xwayland gets Wayland windows, which the
  // compositor places as it likes. A platform without a display that the
  // caller chose is kept.
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  const bool hasX11 = !qgetenv("DISPLAY").isEmpty();
  if (platform.isEmpty() || (platform.contains("wayland") && hasX11)) {
    qputenv("QT_QPA_PLATFORM", hasX11 || qgetenv("WAYLAND_DISPLAY").isEmpty() ? "xcb" : "wayland");
  }

  QApplication application(argc, argv);
  // The helper lives as long as the bar, whatever windows it closes.
  QApplication::setQuitOnLastWindowClosed(false);
  vantrel::LoadAppResources();
  QApplication::setWindowIcon(vantrel::AppIcon());

  // The Options dialog lists the interfaces as this process reads them.
  const auto interfaces = vantrel::CreatePlatformInterfaceTable();
  vantrel::QtBarDialogs dialogs(*interfaces);
  vantrel::DialogsServer server(dialogs, input, output);
  return QApplication::exec();
}
