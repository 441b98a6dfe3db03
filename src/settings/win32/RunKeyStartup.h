#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/RunAtStartup.h"

namespace vantrel {

// A place that holds Run entries: a key and the registry view to open it in.
struct RunKeyLocation {
  HKEY root = nullptr;
  std::wstring path;
  REGSAM view = 0;  // 0, KEY_WOW64_64KEY or KEY_WOW64_32KEY
};

// Starting the program at log-on through the value "Vantrel" of the user's
// Run key, which a user may always write, with no elevation.
//
// Older copies of the program kept that entry in the machine-wide Run key
// instead (as a 32-bit program, in that key's 32-bit view), where a user
// without elevation can neither write nor delete it. Windows starts the
// entries of both keys, so:
// - A machine-wide entry that names this executable already starts it:
//   registering writes no second entry (that would start a second bar) and
//   removes a per-user one, and the query answers true.
// - A machine-wide entry that names another copy which still exists starts
//   that copy: registering fails and writes nothing, for the same reason.
//   One whose program is gone is ignored.
// - Unregistering deletes the per-user entry, whatever it names, and a
//   machine-wide one that names this executable where the user may.
//
// The per-user entry holds the executable's full long path in quotes. An
// entry names this executable when it holds its long or its short (8.3)
// path, in quotes or not, and nothing else; letter case does not count, as
// it does not for Windows paths.
class RunKeyStartup final : public RunAtStartup {
 public:
  static constexpr const wchar_t* kValueName = L"Vantrel";

  RunKeyStartup(RunKeyLocation user, std::vector<RunKeyLocation> machine, std::wstring executablePath);

  bool RegisterRunAtStartup() override;
  bool UnregisterRunAtStartup() override;
  bool IsRunAtStartupRegistered() override;

  // The text the per-user entry gets: the executable's path in quotes.
  std::wstring EntryText() const;

 private:
  bool NamesExecutable(const std::wstring& entry) const;

  RunKeyLocation user_;
  std::vector<RunKeyLocation> machine_;
  std::wstring executable_;
  std::wstring shortExecutable_;
};

// The Run key of the current user and the machine-wide one in both views.
RunKeyLocation UserRunKey();
std::vector<RunKeyLocation> MachineRunKeys();

// The program an entry starts: its text without surrounding quotes. Nothing
// when it holds arguments or is empty.
std::optional<std::wstring> RunEntryProgram(const std::wstring& entry);

}  // namespace vantrel
