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
  for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/config"}) {
    ScopedEnv config("XDG_CONFIG_HOME", ignored);
    EXPECT_EQ(XdgConfigHome(), "/home/tester/.config") << (ignored ? ignored : "unset");
  }
}

class PlatformSettingsTest : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedEnv config{"XDG_CONFIG_HOME", dir.path().c_str()};
};

// Loads and saves as one run of the program does.
BarSettings LoadAndSave() {
  const auto store = CreatePlatformSettingsStore("Brindle Labs", "Vantrel");
  const auto autostart = CreatePlatformRunAtStartup();
  BarSettings s;
  LoadSettings(s, *store, *autostart);
  SaveSettings(s, *store, *autostart);
  return s;
}

TEST_F(PlatformSettingsTest, FirstStartRegistersAndAMissingEntryIsStoredAsOffAtTheNextSave) {
  EXPECT_EQ(LoadAndSave(), BarSettings{});
  EXPECT_EQ(ListDir(dir.path()), (std::vector<std::string>{"Brindle Labs", "autostart"}));
  EXPECT_EQ(ListDir(dir / "Brindle Labs"), std::vector<std::string>{"Vantrel.conf"});
  EXPECT_NE(ReadFile(dir / "Brindle Labs/Vantrel.conf").find("Run%20at%20startup=1\n"), std::string::npos);
  const std::string entry = ReadFile(dir / "autostart/Vantrel.desktop");
  EXPECT_NE(entry.find("\nExec=" + CurrentExecutablePath() + "\n"), std::string::npos) << entry;

  std::filesystem::remove(dir / "autostart/Vantrel.desktop");
  EXPECT_EQ(LoadAndSave().runAtStartup, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "autostart/Vantrel.desktop")) << "a stored 1 registers nothing";
  EXPECT_EQ(CreatePlatformSettingsStore("Brindle Labs", "Vantrel")->ReadInt("", "Run at startup", -1), 0);
}

TEST_F(PlatformSettingsTest, NamesThatWouldLeaveTheFolderGiveAStoreThatWritesNothing) {
  using Names = std::pair<std::string_view, std::string_view>;
  for (const auto& [company, application] :
       {Names{"Brindle Labs", "../escape"}, Names{"..", "Vantrel"}, Names{"", "Vantrel"},
        Names{"a/b", "Vantrel"}, Names{"Brindle Labs", std::string_view("Van\0trel", 8)}}) {
    const auto store = CreatePlatformSettingsStore(company, application);
    EXPECT_FALSE(store->WriteInt("GUI", "Position", 0)) << company << "/" << application;
    EXPECT_EQ(store->ReadInt("GUI", "Position", 1), 1);
  }
  EXPECT_TRUE(ListDir(dir.path()).empty());
}

}  // namespace
}  // namespace vantrel
