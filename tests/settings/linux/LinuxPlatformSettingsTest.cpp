#include <gtest/gtest.h>

#include <cstdlib>

#include "settings/PlatformSettings.h"
#include "settings/SettingsPersistence.h"
#include "settings/SettingsTestFiles.h"
#include "settings/linux/XdgPaths.h"

namespace vantrel {
namespace {

using testing::ListDir;
using testing::ReadFile;
using testing::TempDir;

// Sets an environment variable for one test and puts back what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(XdgConfigHome, FollowsTheBaseDirectoryRules) {
  {
    ScopedEnv config("XDG_CONFIG_HOME", "/somewhere/config/");
    EXPECT_EQ(XdgConfigHome(), "/somewhere/config");
  }
  ScopedEnv home("HOME", "/home/tester");
  {
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(XdgConfigHome(), "/home/tester/.config");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", "");
    EXPECT_EQ(XdgConfigHome(), "/home/tester/.config");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(XdgConfigHome(), "/home/tester/.config") << "a relative path is ignored";
  }
}

TEST(CurrentExecutablePath, IsThisTestProgramsCanonicalPath) {
  const std::string path = CurrentExecutablePath();
  EXPECT_EQ(path, std::filesystem::canonical("/proc/self/exe").string());
  EXPECT_EQ(PlatformApplicationName(), "settings_linux_tests");
}

class PlatformSettingsTest : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedEnv config{"XDG_CONFIG_HOME", dir.path().c_str()};
};

TEST_F(PlatformSettingsTest, FirstStartRegistersAndStoresTheDefaultsInTheConfigFolder) {
  {
    const auto store = CreatePlatformSettingsStore("Brindle Labs", "Vantrel");
    const auto autostart = CreatePlatformRunAtStartup();
    BarSettings s;
    LoadSettings(s, *store, *autostart);
    EXPECT_EQ(s, BarSettings{});
    EXPECT_TRUE(autostart->IsRunAtStartupRegistered());
    EXPECT_EQ(ListDir(dir.path()), std::vector<std::string>{"autostart"}) << "the load stored nothing";
    SaveSettings(s, *store, *autostart);
  }
  EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"Brindle Labs", "autostart"}));
  EXPECT_EQ(ListDir(dir / "Brindle Labs"), std::vector<std::string>{"Vantrel.conf"});
  EXPECT_NE(ReadFile(dir / "Brindle Labs/Vantrel.conf").find("Run%20at%20startup=1\n"), std::string::npos);

  const std::string entry = ReadFile(dir / "autostart/Vantrel.desktop");
  EXPECT_NE(entry.find("\nExec=" + CurrentExecutablePath() + "\n"), std::string::npos) << entry;
}

TEST_F(PlatformSettingsTest, AMissingEntryIsStoredAsOffAtTheNextSave) {
  BarSettings s;
  {
    const auto store = CreatePlatformSettingsStore("Brindle Labs", "Vantrel");
    const auto autostart = CreatePlatformRunAtStartup();
    LoadSettings(s, *store, *autostart);
    SaveSettings(s, *store, *autostart);
  }
  std::filesystem::remove(dir / "autostart/Vantrel.desktop");
  {
    const auto store = CreatePlatformSettingsStore("Brindle Labs", "Vantrel");
    const auto autostart = CreatePlatformRunAtStartup();
    LoadSettings(s, *store, *autostart);
    EXPECT_EQ(s.runAtStartup, 1);
    EXPECT_FALSE(autostart->IsRunAtStartupRegistered()) << "a stored 1 registers nothing";
    SaveSettings(s, *store, *autostart);
  }
  const auto store = CreatePlatformSettingsStore("Brindle Labs", "Vantrel");
  EXPECT_EQ(store->ReadInt("", "Run at startup", -1), 0);
}

TEST_F(PlatformSettingsTest, EachApplicationNameHasItsOwnFile) {
  {
    const auto store = CreatePlatformSettingsStore("Brindle Labs", "vantrel-copy");
    store->WriteInt("GUI", "Position", 0);
  }
  EXPECT_EQ(ListDir(dir / "Brindle Labs"), std::vector<std::string>{"vantrel-copy.conf"});
  EXPECT_EQ(CreatePlatformSettingsStore("Brindle Labs", "Vantrel")->ReadInt("GUI", "Position", 1), 1);
}

TEST_F(PlatformSettingsTest, NamesThatWouldLeaveTheFolderGiveAStoreThatWritesNothing) {
  for (const auto& [company, application] :
       {std::pair{"Brindle Labs", "../escape"}, std::pair{"..", "Vantrel"}, std::pair{"", "Vantrel"},
        std::pair{"Brindle Labs", ""}}) {
    const auto store = CreatePlatformSettingsStore(company, application);
    EXPECT_FALSE(store->WriteInt("GUI", "Position", 0));
    EXPECT_EQ(store->ReadInt("GUI", "Position", 1), 1);
  }
  EXPECT_TRUE(ListDir(dir.path()).empty());
}

}  // namespace
}  // namespace vantrel
