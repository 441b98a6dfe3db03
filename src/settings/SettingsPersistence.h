#pragma once

#include "settings/BarSettings.h"
#include "settings/RunAtStartup.h"
#include "settings/SettingsStore.h"

namespace vantrel {

// Fills every field of `s` from `store`, in this order: "Connection",
// "Automatic Connection" and "Run at startup" from the top level, then
// "Position", the six colours and "Units" from section "GUI". A missing value
// gives the field's default. A missing "Run at startup" (or a stored 2) means
// the user never had one: the field becomes 1 and the start-at-login entry is
// written at once.
void LoadSettings(BarSettings& s, SettingsStore& store, RunAtStartup& runAtStartup);

// Writes all eleven values in the same order and makes them durable in one
// step. "Run at startup" is stored as the real state of the start-at-login
// entry at this moment, not as the field. False when the store could not
// make them durable.
bool SaveSettings(const BarSettings& s, SettingsStore& store, RunAtStartup& runAtStartup);

}  // namespace vantrel
