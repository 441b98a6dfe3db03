#pragma once

#include <string>

namespace vantrel {

// Hands `target` (a web address or a file) to the shell's "open" verb, as a
// double click in Explorer would: the default browser, the program for the
// file's type. Failures are not reported.
void ShellOpen(const std::wstring& target);

}  // namespace vantrel
