#pragma once

#include "settings/BarSettings.h"
#include "settings/DockEdge.h"
#include "settings/RunAtStartup.h"

namespace vantrel {

// What a confirmed Options dialog does to the bar besides replacing its
// settings. The bar window implements it.
class OptionsEffects {
 public:
  virtual ~OptionsEffects() = default;

  // Moves the bar to `edge` (called before the new settings are taken over).
  virtual void DockToEdge(DockEdge edge) = 0;
  // Forgets the measured history, for a newly chosen interface.
  virtual void ResetHistory() = 0;
  // Stores `settings` in the per-user store.
  virtual void SaveSettings(const BarSettings& settings) = 0;
  // Repaints the whole bar.
  virtual void Repaint() = 0;
};

// Takes the settings `edited` in the Options dialog over into the bar's
// `live` settings, in this order: re-docks when the edge changes, resets the
// history when the interface changes (compared byte for byte), replaces
// `live` whole (but for the interface, which stays the bar's while
// Automatic is on), brings the start-at-login entry in line with runAtStartup,
// saves and repaints. The results of the start-at-login calls are ignored.
void ApplyOptions(BarSettings& live, const BarSettings& edited, OptionsEffects& effects,
                  RunAtStartup& runAtStartup);

}  // namespace vantrel
