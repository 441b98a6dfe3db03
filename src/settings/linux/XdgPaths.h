#pragma once

#include <string>

namespace vantrel {

// The user's configuration folder: $XDG_CONFIG_HOME when it holds an
// absolute path, else $HOME/.config (HOME from the password database when
// the environment has none). Empty when neither can be found.
std::string XdgConfigHome();

// The canonical absolute path of the running executable (the resolved
// /proc/self/exe). Empty when it cannot be resolved, for example after the
// file was deleted.
std::string CurrentExecutablePath();

}  // namespace vantrel
