#include "app/CTrafficBarApp.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdlib>
#include <iostream>

#include "app/CommandLine.h"
#include "app/QtBarDialogs.h"
#include "app/TerminationWatcher.h"
#include "bar/BarCommands.h"
#include "bar/qt/CTrafficBarDlg.h"
#include "bar/qt/DesktopAppBar.h"
#include "controls/qt/AppResources.h"
#include "settings/PlatformSettings.h"
#include "traffic/PlatformInterfaceTable.h"

namespace vantrel {
namespace {

// The settings of a bar that is still running when the process ends
// without a close command: the X server went away (Qt then exits at once),
// or the session ended. They are saved once more on the way out.
void SaveSettingsOfRunningBar() {
  if (g_application.m_pMainWnd == nullptr) return;
  if (BarController* controller = g_application.m_pMainWnd->Controller()) controller->SaveOnUnexpectedExit();
}

// The manual beside the executable, else in the installed documentation folder.
ManualPlaces PlatformManualPlaces() {
  const QString beside = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
  return {(beside + '/' + kManualFileName).toStdString(), std::string(VANTREL_DOC_DIR "/") + kManualFileName};
}

}  // namespace

int CTrafficBarApp::Run(int argc, char** argv) {
  // --help and --version answer before the toolkit starts, so they work without a display.
  const auto exitCode =
      HandleCommandLine(argc, argv, PlatformApplicationName(), BuiltProgramFacts(), std::cout);
  if (exitCode) return *exitCode;
  // The bar pushes a small image a few times a second. Through X shared
  // memory every push costs a completion event and so two extra wakeups;
  // a plain image transfer costs none.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication application(argc, argv);
  LoadAppResources();
  QApplication::setWindowIcon(AppIcon());
  // The settings follow the executable's name, so a renamed copy keeps
  // settings of its own.
  QCoreApplication::setApplicationName(QString::fromStdString(PlatformApplicationName()));
  InitInstance();
  return 0;
}

bool CTrafficBarApp::InitInstance() {
  SetRegistryKey(QStringLiteral("Brindle Labs"));

  const auto interfaces = CreatePlatformInterfaceTable();
  const auto clock = CreatePlatformClock();
  const auto store =
      CreatePlatformSettingsStore(company_.toStdString(), QCoreApplication::applicationName().toStdString());
  const auto runAtStartup = CreatePlatformRunAtStartup();
  QtBarDialogs dialogs(*interfaces);

  CTrafficBarDlg bar(QtBarServices{*interfaces, *clock, *store, *runAtStartup, dialogs, CreateDesktopAppBar,
                                   PlatformManualPlaces()});
  dialogs.SetBar(&bar);
  m_pMainWnd = &bar;
  static bool exitHookInstalled = false;
  if (!exitHookInstalled) exitHookInstalled = std::atexit(SaveSettingsOfRunningBar) == 0;

  // SIGTERM, SIGINT and SIGHUP, and the end of the desktop session, close
  // the bar like its Close command: settings saved, strip released. An open
  // menu or dialog closes first, as cancelled.
  const auto terminate = [&bar] {
    if (BarController* controller = bar.Controller()) controller->OnTerminate();
  };
  TerminationWatcher termination(terminate);
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, &bar, terminate);

  bar.DoModal();
  m_pMainWnd = nullptr;
  return false;
}

}  // namespace vantrel
