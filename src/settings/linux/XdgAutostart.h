#pragma once

#include <string>

#include "settings/RunAtStartup.h"

namespace vantrel {

// The user's XDG autostart entry "Vantrel.desktop", which the desktop
// session reads at login. The entry names the executable by its canonical
// path; registering writes that path and the query compares it byte for
// byte, so a copy at another path (or the same path in other letter case)
// is not registered.
class XdgAutostart final : public RunAtStartup {
 public:
  static constexpr const char* kEntryName = "Vantrel.desktop";

  // `autostartDir` is the folder of the user's autostart entries
  // ($XDG_CONFIG_HOME/autostart); `executablePath` the path to start. With
  // an empty folder nothing can be registered.
  XdgAutostart(std::string autostartDir, std::string executablePath);

  // Writes the whole entry at once (a new file renamed over the old one),
  // creating the folder if needed. Fails, writing nothing, when the path
  // cannot be put in an entry safely.
  bool RegisterRunAtStartup() override;
  // Deletes the entry, whatever it names; false when there was none.
  bool UnregisterRunAtStartup() override;
  // True when the entry is a well-formed application entry that starts this
  // executable with no arguments and is not switched off (Hidden=true or
  // X-GNOME-Autostart-enabled=false).
  bool IsRunAtStartupRegistered() override;

  const std::string& EntryPath() const { return entryPath_; }

 private:
  std::string autostartDir_;
  std::string entryPath_;
  std::string executablePath_;
};

}  // namespace vantrel
