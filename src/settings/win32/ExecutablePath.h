#pragma once

#include <string>

namespace vantrel {

// The running executable's full path as Windows reports it (of any length),
// or "" when it cannot be had.
std::wstring ExecutablePath();

}  // namespace vantrel
