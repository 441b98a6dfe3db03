#include "settings/win32/RunKeyStartup.h"

#include <gtest/gtest.h>

#include "settings/PlatformSettings.h"
#include "settings/win32/ExecutablePath.h"
#include "settings/win32/RegistryTestKeys.h"

namespace vantrel {
namespace {

using testing::GetRaw;
using testing::SetRaw;
using testing::Text;

std::wstring ShortPath(const std::wstring& path) {
  std::wstring out(MAX_PATH, L'\0');
  out.resize(GetShortPathNameW(path.c_str(), out.data(), MAX_PATH));
  return out;
}

// The user's and two machine-wide Run keys of the test's own, below one
// scratch key; the executable is this test program.
class RunKeyStartupTest : public ::testing::Test {
 protected:
  RunKeyLocation User() const { return {HKEY_CURRENT_USER, key_.path() + L"\\User", 0}; }
  RunKeyLocation Machine(int view) const {
    return {HKEY_CURRENT_USER, key_.path() + L"\\Machine" + std::to_wstring(view), 0};
  }
  RunKeyStartup Startup(std::wstring executable = ExecutablePath()) const {
    return RunKeyStartup(User(), {Machine(64), Machine(32)}, std::move(executable));
  }
  std::optional<std::wstring> Entry(const RunKeyLocation& at) const {
    const auto raw = GetRaw(at.root, at.path, RunKeyStartup::kValueName);
    if (!raw) return std::nullopt;
    return std::wstring(reinterpret_cast<const wchar_t*>(raw->bytes.data()), raw->bytes.size() / 2 - 1);
  }
  void SetEntry(const RunKeyLocation& at, const std::wstring& text) const {
    ASSERT_TRUE(SetRaw(at.root, at.path, RunKeyStartup::kValueName, Text(text)));
  }

  testing::ScratchKey key_{HKEY_CURRENT_USER, L"Software\\VantRel tests"};
  const std::wstring self_ = ExecutablePath();
};

TEST_F(RunKeyStartupTest, RegistersTheQuotedLongPathPerUser) {
  RunKeyStartup startup = Startup();
  EXPECT_FALSE(startup.IsRunAtStartupRegistered());
  EXPECT_FALSE(startup.UnregisterRunAtStartup()) << "nothing to delete";
  ASSERT_TRUE(startup.RegisterRunAtStartup());
  EXPECT_EQ(Entry(User()), L"\"" + self_ + L"\"");
  EXPECT_FALSE(Entry(Machine(64)) || Entry(Machine(32))) << "nothing machine-wide";
  EXPECT_TRUE(startup.IsRunAtStartupRegistered());
  // A copy at another path is not the one that starts; without a path
  // nothing is registered.
  EXPECT_FALSE(Startup(self_ + L".copy.exe").IsRunAtStartupRegistered());
  EXPECT_FALSE(Startup(L"").RegisterRunAtStartup());
  EXPECT_TRUE(startup.UnregisterRunAtStartup());
  EXPECT_FALSE(Entry(User()));
  EXPECT_FALSE(startup.IsRunAtStartupRegistered());
}

// Which entries name this executable: the path itself, in quotes or not,
// long or short, in any letter case; nothing with arguments or another path.
TEST_F(RunKeyStartupTest, EntriesNameThisExecutableByPathNotByText) {
  struct Case {
    std::wstring entry;
    bool names;
  };
  const Case cases[] = {
      {L"\"" + self_ + L"\"", true},
      {self_, true},
      {ShortPath(self_), true},
      {L"\"" + ShortPath(self_) + L"\"", true},
      {std::wstring(CharUpperW(std::wstring(self_).data())), true},
      {L"\"" + self_ + L"\" /minimized", false},
      {self_ + L" /minimized", false},
      {L"\"" + self_, false},
      {self_ + L"x", false},
      {L"", false},
  };
  for (const Case& c : cases) {
    SetEntry(User(), c.entry);
    EXPECT_EQ(Startup().IsRunAtStartupRegistered(), c.names) << std::string(c.entry.begin(), c.entry.end());
  }
}

// An older copy kept the entry machine-wide, as its short path; a user
// without elevation cannot remove it. At most one entry ever starts a bar.
TEST_F(RunKeyStartupTest, MachineWideEntryOfThisExecutableIsNotDoubled) {
  SetEntry(Machine(32), ShortPath(self_));
  SetEntry(User(), L"\"" + self_ + L"\"");  // both at once would start two bars
  RunKeyStartup startup = Startup();
  EXPECT_TRUE(startup.IsRunAtStartupRegistered());
  EXPECT_TRUE(startup.RegisterRunAtStartup());
  EXPECT_FALSE(Entry(User())) << "the per-user entry goes";
  EXPECT_TRUE(startup.IsRunAtStartupRegistered());

  // Where the machine-wide key may not be written, unregistering fails and
  // the entry still counts.
  ASSERT_TRUE(testing::SetKeyAccess(HKEY_CURRENT_USER, Machine(32).path, L"D:(D;;0x2;;;WD)(A;;KA;;;WD)"));
  EXPECT_FALSE(startup.UnregisterRunAtStartup());
  EXPECT_TRUE(startup.IsRunAtStartupRegistered());
  ASSERT_TRUE(testing::SetKeyAccess(HKEY_CURRENT_USER, Machine(32).path, L"D:(A;;KA;;;WD)"));
  EXPECT_TRUE(startup.UnregisterRunAtStartup());
  EXPECT_FALSE(Entry(Machine(32)));
  EXPECT_FALSE(startup.IsRunAtStartupRegistered());
}

TEST_F(RunKeyStartupTest, MachineWideEntryOfAnotherCopyBlocksOnlyWhileThatCopyExists) {
  // Another program that exists: registering would start a second bar.
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring other = std::wstring(system) + L"\\notepad.exe";
  SetEntry(Machine(64), other);
  RunKeyStartup startup = Startup();
  EXPECT_FALSE(startup.RegisterRunAtStartup());
  EXPECT_FALSE(Entry(User()));
  EXPECT_FALSE(startup.UnregisterRunAtStartup()) << "another copy's entry is left alone";
  EXPECT_EQ(Entry(Machine(64)), other);

  // A copy that is gone starts nothing.
  SetEntry(Machine(64), L"\"C:\\Program Files\\VantRel (old)\\VANTREL.EXE\"");
  EXPECT_TRUE(startup.RegisterRunAtStartup());
  EXPECT_EQ(Entry(User()), L"\"" + self_ + L"\"");
  EXPECT_TRUE(startup.IsRunAtStartupRegistered());
}

// The real keys of the test prefix: the user's Run key, and the
// machine-wide one in its 32-bit view where older copies wrote.
TEST(PlatformRunAtStartup, UsesTheUsersRunKeyAndSeesTheMachineWideEntries) {
  const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::wstring self = ExecutablePath();
  // No entry an earlier run may have left in the prefix.
  for (const RunKeyLocation& at : MachineRunKeys()) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(at.root, run.c_str(), 0, KEY_SET_VALUE | at.view, &key) != ERROR_SUCCESS) continue;
    RegDeleteValueW(key, L"Vantrel");
    RegCloseKey(key);
  }
  auto startup = CreatePlatformRunAtStartup();
  ASSERT_TRUE(startup->RegisterRunAtStartup());
  const auto entry = GetRaw(HKEY_CURRENT_USER, run, L"Vantrel");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->bytes, Text(L"\"" + self + L"\"").bytes);
  EXPECT_TRUE(startup->UnregisterRunAtStartup());
  EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, run, L"Vantrel"));

  HKEY machine = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, run.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                            nullptr, &machine, nullptr),
            ERROR_SUCCESS);
  const auto legacy = Text(ShortPath(self));
  RegSetValueExW(machine, L"Vantrel", 0, REG_SZ, legacy.bytes.data(),
                 static_cast<DWORD>(legacy.bytes.size()));
  RegCloseKey(machine);
  EXPECT_TRUE(startup->IsRunAtStartupRegistered());
  EXPECT_TRUE(startup->UnregisterRunAtStartup()) << "the test prefix's user may write machine-wide";
  EXPECT_FALSE(GetRaw(HKEY_LOCAL_MACHINE, run, L"Vantrel", KEY_WOW64_32KEY));
}

}  // namespace
}  // namespace vantrel
