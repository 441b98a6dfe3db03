#include "settings/ApplyOptions.h"

namespace vantrel {

namespace {

void BringRunAtStartupInLine(std::int32_t wanted, RunAtStartup& runAtStartup) {
  if (wanted != 0) {
    if (!runAtStartup.IsRunAtStartupRegistered()) runAtStartup.RegisterRunAtStartup();
  } else {
    if (runAtStartup.IsRunAtStartupRegistered()) runAtStartup.UnregisterRunAtStartup();
  }
}

}  // namespace

void ApplyOptions(BarSettings& live, const BarSettings& edited, OptionsEffects& effects,
                  RunAtStartup& runAtStartup) {
  // The docking code sees the old settings still; it is told the new edge.
  if (edited.position != live.position) effects.DockToEdge(DockEdgeForPosition(edited.position));
  // While Automatic is on, the link watched is the bar's to choose: the one
  // it watches now stays, whatever the dialog's copy held.
  const std::string connection = edited.automaticConnection != 0 ? live.connection : edited.connection;
  if (connection != live.connection) effects.ResetHistory();
  live = edited;
  live.connection = connection;
  BringRunAtStartupInLine(live.runAtStartup, runAtStartup);
  effects.SaveSettings(live);
  effects.Repaint();
}

}  // namespace vantrel
