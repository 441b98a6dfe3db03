#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// The application name that belongs to the executable at `path`: its file
// name without the directory and without the last extension ("Vantrel" for
// ".../Vantrel.exe"). The directory ends at the last of `separators`, the
// characters the platform puts between folders. A leading dot does not start
// an extension.
std::string ApplicationNameFromPath(std::string_view path, std::string_view separators);

// The name the settings of the executable at `path` are kept under: its
// ApplicationNameFromPath, or "Vantrel" when that cannot name a file.
std::string SettingsApplicationName(std::string_view path, std::string_view separators);

// True when `name` can stand as one file or folder name: not empty, not
// "." or "..", and free of `separators` and NUL.
bool IsPlainFileName(std::string_view name, std::string_view separators);

}  // namespace vantrel
