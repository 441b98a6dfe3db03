#include "settings/linux/XdgAutostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include "settings/SettingsTestFiles.h"
#include "settings/linux/DesktopEntry.h"

namespace vantrel {
namespace {

using testing::ListDir;
using testing::ReadFile;
using testing::RunWithFileModes;
using testing::TempDir;
using testing::WriteFile;

constexpr const char* kProgram = "/opt/vantrel/bin/vantrel";

// desktop-file-validate's verdict on `file`: its exit code and output, or
// nothing when the tool is not installed.
std::optional<std::pair<int, std::string>> Validate(const std::string& file) {
  if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) return std::nullopt;
  FILE* pipe = popen(("desktop-file-validate '" + file + "' 2>&1").c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  const int status = pclose(pipe);
  return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, output);
}

class XdgAutostartTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir / "config/autostart"; }
  std::string Entry() const { return Folder() + "/Vantrel.desktop"; }
  void MakeFolder() const { std::filesystem::create_directories(Folder()); }
  XdgAutostart For(const std::string& program) const { return XdgAutostart(Folder(), program); }

  TempDir dir;
};

TEST_F(XdgAutostartTest, RegisterCreatesTheFolderAndTheEntry) {
  XdgAutostart autostart = For(kProgram);
  EXPECT_FALSE(autostart.IsRunAtStartupRegistered());
  EXPECT_TRUE(autostart.RegisterRunAtStartup());
  EXPECT_TRUE(autostart.IsRunAtStartupRegistered());
  EXPECT_EQ(autostart.EntryPath(), Entry());

  EXPECT_EQ(ListDir(Folder()), std::vector<std::string>{"Vantrel.desktop"}) << "no temporary file left";
  struct stat info {};
  ASSERT_EQ(stat(Entry().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  ASSERT_EQ(stat(Folder().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u) << "folders made for the user are private";

  const std::string text = ReadFile(Entry());
  EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(text.find("\nExec=/opt/vantrel/bin/vantrel\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
  EXPECT_NE(text.find("\nName=VantRel\n"), std::string::npos);
}

TEST_F(XdgAutostartTest, AnotherCopyOrOtherLetterCaseIsNotRegisteredUntilItRegistersItself) {
  ASSERT_TRUE(For(kProgram).RegisterRunAtStartup());
  XdgAutostart copy = For("/home/user/vantrel");
  EXPECT_FALSE(copy.IsRunAtStartupRegistered());
  EXPECT_FALSE(For("/opt/Vantrel/bin/vantrel").IsRunAtStartupRegistered());
  EXPECT_FALSE(For("/opt/vantrel/bin/vantrel/").IsRunAtStartupRegistered());

  EXPECT_TRUE(copy.RegisterRunAtStartup());
  EXPECT_TRUE(copy.IsRunAtStartupRegistered());
  EXPECT_FALSE(For(kProgram).IsRunAtStartupRegistered()) << "one entry name, the last writer wins";
}

TEST_F(XdgAutostartTest, UnregisterDeletesTheEntryOnce) {
  XdgAutostart autostart = For(kProgram);
  EXPECT_FALSE(autostart.UnregisterRunAtStartup()) << "nothing to delete";
  ASSERT_TRUE(autostart.RegisterRunAtStartup());
  EXPECT_TRUE(autostart.UnregisterRunAtStartup());
  EXPECT_FALSE(autostart.IsRunAtStartupRegistered());
  EXPECT_FALSE(autostart.UnregisterRunAtStartup());
  EXPECT_TRUE(ListDir(Folder()).empty());
}

TEST_F(XdgAutostartTest, AwkwardPathsRoundTripThroughTheEntryAndPassTheValidator) {
  const std::string paths[] = {
      "/opt/Brindle Labs/Vant Rel",
      "/home/o'brien/\"quoted\"/vantrel",
      "/srv/back\\slash\\\\double/vantrel",
      "/srv/$HOME/${PATH}/vantrel",
      "/srv/`reboot`/vantrel",
      "/home/j\xC3\xBCrgen/\xE6\x96\x87\xE5\xAD\x97/Vantr\xC3\xA9l",
      "/srv/100% sure/%U/vantrel",
      "/srv/a;b&c|d>e<f*g?h#i(j)k~l=m/vantrel",
  };
  for (const std::string& path : paths) {
    XdgAutostart autostart = For(path);
    ASSERT_TRUE(autostart.RegisterRunAtStartup()) << path;
    EXPECT_TRUE(autostart.IsRunAtStartupRegistered()) << path << "\n" << ReadFile(Entry());
    EXPECT_FALSE(For(kProgram).IsRunAtStartupRegistered());

    const auto verdict = Validate(Entry());
    if (!verdict) continue;
    EXPECT_EQ(verdict->first, 0) << path << "\n" << verdict->second << ReadFile(Entry());
    EXPECT_EQ(verdict->second.find("error"), std::string::npos) << verdict->second;
  }
  if (!Validate(Entry())) GTEST_SKIP() << "desktop-file-validate is not installed";
}

TEST_F(XdgAutostartTest, APathThatCouldInjectIntoTheEntryWritesNothing) {
  const std::string hostile[] = {
      "/tmp/x\nExec=/bin/sh", "/tmp/x\rHidden=true", "relative/vantrel", "", "/tmp/caf\xE9",
  };
  for (const std::string& path : hostile) {
    EXPECT_FALSE(For(path).RegisterRunAtStartup()) << path;
    EXPECT_FALSE(For(path).IsRunAtStartupRegistered()) << path;
  }
  EXPECT_TRUE(ListDir(dir.path()).empty()) << "not even the folder is made";
}

TEST_F(XdgAutostartTest, RegisterReplacesAnyEntryThatWasThere) {
  MakeFolder();
  WriteFile(Entry(), std::string(3000, '\xFF'));
  ASSERT_TRUE(For(kProgram).RegisterRunAtStartup());
  EXPECT_TRUE(For(kProgram).IsRunAtStartupRegistered());

  ASSERT_EQ(symlink("/etc/hostname", (Folder() + "/link").c_str()), 0);
  ASSERT_EQ(rename((Folder() + "/link").c_str(), Entry().c_str()), 0);
  ASSERT_TRUE(For(kProgram).RegisterRunAtStartup());
  EXPECT_FALSE(std::filesystem::is_symlink(Entry())) << "the link is replaced, its target untouched";
  EXPECT_TRUE(For(kProgram).IsRunAtStartupRegistered());
}

TEST_F(XdgAutostartTest, RegisterReplacesTheEntryInsteadOfWritingIntoIt) {
  ASSERT_TRUE(For("/usr/bin/other").RegisterRunAtStartup());
  const std::string before = ReadFile(Entry());
  const std::string secondName = dir / "old.desktop";
  ASSERT_EQ(link(Entry().c_str(), secondName.c_str()), 0);

  ASSERT_TRUE(For(kProgram).RegisterRunAtStartup());
  EXPECT_EQ(ReadFile(secondName), before) << "a crash half-way would have left a broken entry";
  EXPECT_TRUE(For(kProgram).IsRunAtStartupRegistered());
}

TEST_F(XdgAutostartTest, AFolderWhereTheEntryShouldBeIsLeftAlone) {
  ASSERT_TRUE(std::filesystem::create_directories(Entry()));
  XdgAutostart autostart = For(kProgram);
  EXPECT_FALSE(autostart.RegisterRunAtStartup());
  EXPECT_FALSE(autostart.IsRunAtStartupRegistered());
  EXPECT_FALSE(autostart.UnregisterRunAtStartup());
  EXPECT_TRUE(std::filesystem::is_directory(Entry()));
  EXPECT_EQ(ListDir(Folder()), std::vector<std::string>{"Vantrel.desktop"});
}

TEST_F(XdgAutostartTest, AReadOnlyFolderKeepsTheOldEntryWhole) {
  ASSERT_TRUE(For("/usr/bin/other").RegisterRunAtStartup());
  const std::string before = ReadFile(Entry());
  ASSERT_EQ(chmod(Folder().c_str(), 0500), 0);
  const int result = RunWithFileModes(dir.path(), [this] {
    XdgAutostart autostart = For(kProgram);
    return autostart.RegisterRunAtStartup() || autostart.UnregisterRunAtStartup() ? 2 : 0;
  });
  if (result == testing::kCannotDropPrivileges) GTEST_SKIP() << "cannot run without privileges here";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFile(Entry()), before);
  EXPECT_EQ(ListDir(Folder()), std::vector<std::string>{"Vantrel.desktop"});
}

TEST_F(XdgAutostartTest, WithoutAFolderNothingIsRegistered) {
  XdgAutostart autostart("", kProgram);
  EXPECT_FALSE(autostart.RegisterRunAtStartup());
  EXPECT_FALSE(autostart.IsRunAtStartupRegistered());
  EXPECT_FALSE(autostart.UnregisterRunAtStartup());
  EXPECT_FALSE(XdgAutostart("relative/autostart", kProgram).RegisterRunAtStartup());
  EXPECT_TRUE(ListDir(dir.path()).empty());
}

// --- Entries found on disk

struct EntryCase {
  const char* file;
  bool registered;
};

const EntryCase kEntries[] = {
    {"garbage.desktop", false},
    {"empty.desktop", false},
    {"no-exec.desktop", false},
    {"hidden.desktop", false},
    {"gnome-disabled.desktop", false},
    {"with-argument.desktop", false},
    {"field-code.desktop", false},
    {"other-letter-case.desktop", false},
    {"other-path.desktop", false},
    {"duplicate-exec.desktop", false},
    {"second-command.desktop", false},
    {"other-group-first.desktop", false},
    {"not-an-application.desktop", false},
    {"crlf-line-ends.desktop", false},
    {"unterminated-quote.desktop", false},
    {"text-after-quote.desktop", false},
    {"bad-escape.desktop", false},
    {"key-before-group.desktop", false},
    {"line-without-equals.desktop", false},
    {"plain.desktop", true},
    {"quoted.desktop", true},
    {"comments-locales-and-blanks.desktop", true},
};

void PrintTo(const EntryCase& c, std::ostream* out) {
  *out << c.file;
}

class EntryCorpusTest : public XdgAutostartTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(EntryCorpusTest, IsRegisteredOnlyWhenItStartsThisProgram) {
  const std::string source = std::string(VANTREL_SETTINGS_CORPUS) + "/autostart/" + GetParam().file;
  ASSERT_TRUE(std::filesystem::is_regular_file(source)) << source;
  MakeFolder();
  WriteFile(Entry(), ReadFile(source));

  XdgAutostart autostart = For(kProgram);
  EXPECT_EQ(autostart.IsRunAtStartupRegistered(), GetParam().registered);
  // Whatever was there, registering puts a good entry in its place.
  EXPECT_TRUE(autostart.RegisterRunAtStartup());
  EXPECT_TRUE(autostart.IsRunAtStartupRegistered());
  EXPECT_EQ(ListDir(Folder()), std::vector<std::string>{"Vantrel.desktop"});
}

INSTANTIATE_TEST_SUITE_P(Entries, EntryCorpusTest, ::testing::ValuesIn(kEntries),
                         [](const ::testing::TestParamInfo<EntryCase>& info) {
                           std::string name;
                           for (const char* c = info.param.file; *c != '.'; ++c) name += *c == '-' ? '_' : *c;
                           return name;
                         });

TEST_F(XdgAutostartTest, AnOversizedEntryIsNotRead) {
  MakeFolder();
  WriteFile(Entry(), "[Desktop Entry]\nType=Application\nExec=" + std::string(kProgram) +
                         "\nComment=" + std::string(100 * 1024, 'c') + "\n");
  EXPECT_FALSE(For(kProgram).IsRunAtStartupRegistered());
}

}  // namespace
}  // namespace vantrel
