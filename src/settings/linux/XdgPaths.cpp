#include "settings/linux/XdgPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace vantrel {
namespace {

// `path` when it is absolute, without trailing slashes; else empty.
std::string AbsoluteOrEmpty(const char* path) {
  if (path == nullptr || path[0] != '/') return {};
  std::string result(path);
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

std::string HomeFromPasswordDatabase() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) return {};
  return AbsoluteOrEmpty(found->pw_dir);
}

std::string JoinConfig(std::string home) {
  if (home.empty()) return {};
  if (home != "/") home += '/';
  return home + ".config";
}

}  // namespace

std::string XdgConfigHome() {
  std::string configHome = AbsoluteOrEmpty(std::getenv("XDG_CONFIG_HOME"));
  if (!configHome.empty()) return configHome;
  std::string home = AbsoluteOrEmpty(std::getenv("HOME"));
  if (home.empty()) home = HomeFromPasswordDatabase();
  return JoinConfig(home);
}

std::string CurrentExecutablePath() {
  char* resolved = realpath("/proc/self/exe", nullptr);
  if (resolved == nullptr) return {};
  std::string path(resolved);
  std::free(resolved);
  return path;
}

}  // namespace vantrel
