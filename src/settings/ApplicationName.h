#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// The application name that belongs to the executable at `path`: its file
// name without the directory and without the last extension ("Vantrel" for
// ".../Vantrel.exe"). A leading dot does not start an extension.
std::string ApplicationNameFromPath(std::string_view path);

// True when `name` can stand as one file or folder name: not empty, not
// "." or "..", and free of '/' and NUL.
bool IsPlainFileName(std::string_view name);

}  // namespace vantrel
