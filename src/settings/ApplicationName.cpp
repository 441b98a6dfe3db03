#include "settings/ApplicationName.h"

namespace vantrel {

std::string ApplicationNameFromPath(std::string_view path, std::string_view separators) {
  const std::size_t slash = path.find_last_of(separators);
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

std::string SettingsApplicationName(std::string_view path, std::string_view separators) {
  std::string name = ApplicationNameFromPath(path, separators);
  return IsPlainFileName(name, separators) ? name : "Vantrel";
}

bool IsPlainFileName(std::string_view name, std::string_view separators) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(separators) == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace vantrel
