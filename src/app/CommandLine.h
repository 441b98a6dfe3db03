#pragma once

#include <optional>
#include <ostream>
#include <string_view>

namespace vantrel {

// What the command line tells about this build: its version and the folder
// the manual is installed in.
struct ProgramFacts {
  std::string_view version;
  std::string_view docDir;
};

// The facts of this build, fixed by CMake.
ProgramFacts BuiltProgramFacts();

// The two options every program answers: "--help" prints the usage and
// where the settings live, "--version" the program's version. The first of
// them on the command line wins, "--" ends the options, and every other
// argument is ignored. `applicationName` is the name the settings are kept
// under (the executable's name).
//
// Returns the exit code when the program should end at once: 0 once the
// text is printed, 1 when `out` could not take it. Returns nothing when the
// bar should run. Needs no toolkit and no display.
std::optional<int> HandleCommandLine(int argc, const char* const* argv, std::string_view applicationName,
                                     const ProgramFacts& facts, std::ostream& out);

}  // namespace vantrel
