#include "app/CTrafficBarApp.h"

#include <iostream>

#include "app/CommandLine.h"
#include "app/PlatformBar.h"
#include "app/StandardStreams.h"
#include "settings/PlatformSettings.h"
#include "traffic/PlatformInterfaceTable.h"

namespace vantrel {

int CTrafficBarApp::Run(int argc, char** argv) {
  OpenStandardStreams();
  const auto exitCode =
      HandleCommandLine(argc, argv, PlatformApplicationName(), BuiltProgramFacts(), std::cout);
  if (exitCode) return *exitCode;
  InitInstance();
  return exitCode_;
}

bool CTrafficBarApp::InitInstance() {
  SetRegistryKey("Brindle Labs");

  const auto interfaces = CreatePlatformInterfaceTable();
  const auto clock = CreatePlatformClock();
  // The settings follow the executable's name, so a renamed copy keeps
  // settings of its own.
  const auto store = CreatePlatformSettingsStore(company_, PlatformApplicationName());
  const auto runAtStartup = CreatePlatformRunAtStartup();

  exitCode_ = RunPlatformBar(BarStartup{*interfaces, *clock, *store, *runAtStartup, PlatformManualPlaces()},
                             m_pMainWnd);
  m_pMainWnd = nullptr;
  return false;
}

}  // namespace vantrel
