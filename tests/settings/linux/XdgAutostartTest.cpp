#include "settings/linux/XdgAutostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "settings/SettingsTestFiles.h"

namespace vantrel {
namespace {

using testing::ListDir;
using testing::ReadFile;
using testing::WriteFile;

constexpr const char* kProgram = "/opt/vantrel/bin/vantrel";

// desktop-file-validate's complaints about `file` (empty when it passes), or
// nothing when the tool is not installed.
std::optional<std::string> Validate(const std::string& file, const std::string& report) {
  if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) return std::nullopt;
  const int status = std::system(("desktop-file-validate '" + file + "' >'" + report + "' 2>&1").c_str());
  const std::string output = ReadFile(report);
  return status == 0 && output.find("error") == std::string::npos ? "" : output;
}

class XdgAutostartTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir / "config/autostart"; }
  std::string Entry() const { return Folder() + "/Vantrel.desktop"; }
  XdgAutostart For(const std::string& program) const { return XdgAutostart(Folder(), program); }
  std::vector<std::string> OnlyTheEntry() const { return {"Vantrel.desktop"}; }

  testing::TempDir dir;
};

TEST_F(XdgAutostartTest, RegisterWritesAPrivateFolderAndOneEntryThatUnregisterDeletes) {
  XdgAutostart autostart = For(kProgram);
  EXPECT_FALSE(autostart.IsRunAtStartupRegistered());
  EXPECT_FALSE(autostart.UnregisterRunAtStartup()) << "nothing to delete";
  EXPECT_TRUE(autostart.RegisterRunAtStartup());
  EXPECT_TRUE(autostart.IsRunAtStartupRegistered());

  EXPECT_EQ(ListDir(Folder()), OnlyTheEntry()) << "no temporary file left";
  struct stat info {};
  ASSERT_EQ(stat(Entry().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  ASSERT_EQ(stat(Folder().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u) << "folders made for the user are private";
  const std::string text = ReadFile(Entry());
  EXPECT_EQ(text.rfind("[Desktop Entry]\nType=Application\nName=VantRel\n", 0), 0u) << text;
  EXPECT_NE(text.find("\nExec=/opt/vantrel/bin/vantrel\n"), std::string::npos) << text;

  EXPECT_TRUE(autostart.UnregisterRunAtStartup());
  EXPECT_FALSE(autostart.IsRunAtStartupRegistered());
  EXPECT_TRUE(ListDir(Folder()).empty());
}

TEST_F(XdgAutostartTest, AwkwardPathsRoundTripThroughTheEntryAndPassTheValidator) {
  const std::string paths[] = {
      "/opt/Brindle Labs/Vant Rel",
      "/home/o'brien/\"quoted\"/vantrel",
      "/srv/back\\slash\\\\double/vantrel",
      "/srv/$HOME/`reboot`/vantrel",
      "/home/j\xC3\xBCrgen/\xE6\x96\x87\xE5\xAD\x97/Vantr\xC3\xA9l",
      "/srv/100% sure/%U/vantrel",
      "/srv/a;b&c|d>e<f*g?h#i(j)k~l=m/[z]/vantrel",
      "/tmp/trailing space /vantrel ",
  };
  for (const std::string& path : paths) {
    XdgAutostart autostart = For(path);
    ASSERT_TRUE(autostart.RegisterRunAtStartup()) << path;
    EXPECT_TRUE(autostart.IsRunAtStartupRegistered()) << path << "\n" << ReadFile(Entry());
    EXPECT_FALSE(For(kProgram).IsRunAtStartupRegistered());
    if (const auto complaints = Validate(Entry(), dir / "report")) {
      EXPECT_EQ(*complaints, "") << path << "\n" << ReadFile(Entry());
    }
  }
  if (!Validate(Entry(), dir / "report")) GTEST_SKIP() << "desktop-file-validate is not installed";
}

TEST_F(XdgAutostartTest, APathThatCannotBeWrittenSafelyWritesNothing) {
  const std::string hostile[] = {
      "/tmp/x\nExec=/bin/sh",      "/tmp/x\rHidden=true", "/tmp/a\tb", "/tmp/\x7F",
      std::string("/tmp/a\0b", 8), "relative/vantrel",    "",          "/tmp/caf\xE9",
  };
  for (const std::string& path : hostile) EXPECT_FALSE(For(path).RegisterRunAtStartup()) << path;
  EXPECT_TRUE(ListDir(dir.path()).empty()) << "not even the folder is made";

  EXPECT_FALSE(XdgAutostart("", kProgram).RegisterRunAtStartup());
  EXPECT_FALSE(XdgAutostart("", kProgram).IsRunAtStartupRegistered());
  EXPECT_FALSE(XdgAutostart("relative/autostart", kProgram).RegisterRunAtStartup());
  EXPECT_TRUE(ListDir(dir.path()).empty());
}

TEST_F(XdgAutostartTest, AnEntryFoundOnDiskIsRegisteredOnlyWhenItStartsThisProgram) {
  std::vector<std::pair<std::string, bool>> cases;
  for (const char* refused :
       {"garbage", "empty", "no-exec", "hidden", "gnome-disabled", "with-argument", "field-code",
        "other-letter-case", "other-path", "duplicate-exec", "second-command", "other-group-first",
        "not-an-application", "crlf-line-ends", "unterminated-quote", "text-after-quote", "bad-escape",
        "key-before-group", "line-without-equals"}) {
    cases.emplace_back(refused, false);
  }
  for (const char* accepted : {"plain", "quoted", "comments-locales-and-blanks"}) {
    cases.emplace_back(accepted, true);
  }

  std::filesystem::create_directories(Folder());
  for (const auto& [name, registered] : cases) {
    const std::string source = std::string(VANTREL_SETTINGS_CORPUS) + "/autostart/" + name + ".desktop";
    ASSERT_TRUE(std::filesystem::is_regular_file(source)) << source;
    WriteFile(Entry(), ReadFile(source));
    XdgAutostart autostart = For(kProgram);
    EXPECT_EQ(autostart.IsRunAtStartupRegistered(), registered) << name;
    // Whatever was there, registering puts a good entry in its place.
    EXPECT_TRUE(autostart.RegisterRunAtStartup()) << name;
    EXPECT_TRUE(autostart.IsRunAtStartupRegistered()) << name;
    EXPECT_EQ(ListDir(Folder()), OnlyTheEntry()) << name;
  }
}

}  // namespace
}  // namespace vantrel
