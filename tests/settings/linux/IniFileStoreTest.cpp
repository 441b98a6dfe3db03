#include "settings/linux/IniFileStore.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/resource.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <limits>

#include "settings/SettingsPersistence.h"
#include "settings/SettingsTestFiles.h"
#include "support/FakeRunAtStartup.h"

namespace vantrel {
namespace {

using testing::ListDir;
using testing::ReadFile;
using testing::WriteFile;
using Names = std::vector<std::string>;

// What a save of the default record writes while the entry exists, byte for byte what QSettings writes.
constexpr std::string_view kDefaultsFile =
    "[General]\nAutomatic%20Connection=0\nConnection=\nRun%20at%20startup=1\n\n"
    "[GUI]\nBG%20Color=3174416\nDownload%20Color=1061056\nGraph%20Color=0\nLabel%20Color=12632256\n"
    "Position=1\nText%20Color=16777215\nUnits=0\nUpload%20Color=3195072\n";

class IniFileStoreTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir / "Brindle Labs"; }
  std::string File() const { return Folder() + "/Vantrel.conf"; }
  void MakeFolder() const { ASSERT_EQ(mkdir(Folder().c_str(), 0700), 0); }

  BarSettings Load() {
    IniFileStore store(File());
    BarSettings s;
    LoadSettings(s, store, autostart);
    return s;
  }
  void Save(const BarSettings& s) {
    IniFileStore store(File());
    SaveSettings(s, store, autostart);
  }
  // A save of one value straight through a store.
  bool SavePosition(std::int32_t position) {
    IniFileStore store(File());
    store.WriteInt("GUI", "Position", position);
    return store.Sync();
  }

  testing::TempDir dir;
  testing::FakeRunAtStartup autostart;
};

// Reading never creates the file or its folder.
TEST_F(IniFileStoreTest, FirstStartRegistersAndTheSaveStoresTheDefaults) {
  BarSettings s = Load();
  EXPECT_EQ(s, BarSettings{});
  EXPECT_EQ(autostart.registerCalls, 1);
  EXPECT_TRUE(ListDir(dir.path()).empty());
  Save(s);
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);
  EXPECT_EQ(ListDir(Folder()), Names{"Vantrel.conf"}) << "no lock or temporary files left";

  s = BarSettings{.connection = "Intel(R) Ethernet Connection (7) I219-LM",
                  .bgColor = 0xFF000000u,
                  .textColor = 0x80000000u,
                  .labelColor = 0xFFFFFFFFu,
                  .graphColor = 0x7FFFFFFFu,
                  .downloadColor = 1,
                  .uploadColor = 0x00ABCDEFu,
                  .position = std::numeric_limits<std::int32_t>::min(),
                  .runAtStartup = 0,
                  .automaticConnection = 1};
  autostart.registered = false;  // what is stored is the entry's state
  Save(s);
  EXPECT_EQ(Load(), s);
}

// The codec's dialect is held against QSettings itself (settings/qt); the store keeps what it is given up to
// the first NUL and writes on Sync or when it is destroyed.
TEST_F(IniFileStoreTest, TextsRoundTripUpToTheFirstNulAndAreWrittenWhenTheStoreGoes) {
  {
    IniFileStore store(File());
    store.WriteString("", "Odd", "caf\xE9 \xFF\xFE not UTF-8");
    store.WriteString("", "Nul", std::string("eth0\0hidden", 11));
    EXPECT_TRUE(ListDir(dir.path()).empty()) << "nothing is written before Sync";
  }
  IniFileStore store(File());
  EXPECT_EQ(store.ReadString("", "Odd", "?"), "caf\xE9 \xFF\xFE not UTF-8");
  EXPECT_EQ(store.ReadString("", "Nul", "?"), "eth0");
  EXPECT_EQ(ReadFile(File()).find("hidden"), std::string::npos);
}

TEST_F(IniFileStoreTest, ValuesOfOthersInTheFileAreKept) {
  MakeFolder();
  WriteFile(File(),
            "[General]\nConnection=old\nWindow%20State=2\n\n[GUI]\nFont=Sans\n\n[Other]\nKey=value\n");
  IniFileStore store(File());
  EXPECT_EQ(store.ReadString("", "Connection", "?"), "old");
  // Someone else adds a value after the store read the file.
  WriteFile(File(), ReadFile(File()) + "Added=later\n");
  store.WriteString("", "Connection", "new");
  ASSERT_TRUE(store.Sync());
  EXPECT_EQ(
      ReadFile(File()),
      "[General]\nConnection=new\nWindow%20State=2\n\n[GUI]\nFont=Sans\n\n[Other]\nAdded=later\nKey=value\n");
}

TEST_F(IniFileStoreTest, NamesThatQSettingsWouldSplitAreRefused) {
  IniFileStore store(File());
  EXPECT_FALSE(store.WriteInt("GUI/Sub", "Position", 1));
  EXPECT_FALSE(store.WriteInt("GUI", "a\\b", 1));
  EXPECT_FALSE(store.WriteString("", "", "x"));
  EXPECT_EQ(store.ReadInt("GUI/Sub", "Position", 9), 9);
  EXPECT_TRUE(store.Sync());
  EXPECT_TRUE(ListDir(dir.path()).empty());
}

// --- Damaged and hostile files

// What each file loads as is the codec's reading, held against QSettings over the same corpus (settings/qt);
// here a save over it must read back whole, and a file that is not text, or does not read as it was
// written (a quote left open swallows the lines after it, bytes that are not UTF-8), is kept aside.
TEST_F(IniFileStoreTest, ASaveOverADamagedFileReadsBackWhole) {
  for (const std::string file :
       {"empty.conf", "binary-garbage.conf", "wrong-types.conf", "huge-numbers.conf", "duplicate-keys.conf",
        "missing-gui-section.conf", "no-section-header.conf", "crlf-line-ends.conf", "long-connection.conf",
        "nul-bytes.conf", "broken-lines.conf", "literal-spaces-in-names.conf", "invalid-utf8.conf"}) {
    SCOPED_TRACE(file);
    const std::string source = std::string(VANTREL_SETTINGS_CORPUS) + "/" + file;
    ASSERT_TRUE(std::filesystem::is_regular_file(source));
    std::filesystem::remove_all(Folder());
    MakeFolder();
    WriteFile(File(), ReadFile(source));
    const BarSettings s{.connection = "saved", .bgColor = 0xFF102030u, .position = 0};
    autostart.registered = true;
    Save(s);
    EXPECT_EQ(Load(), s);
    if (file == "binary-garbage.conf" || file == "nul-bytes.conf" || file == "broken-lines.conf" ||
        file == "invalid-utf8.conf") {
      EXPECT_EQ(ListDir(Folder()), (Names{"Vantrel.conf", "Vantrel.conf.unreadable"}));
      EXPECT_EQ(ReadFile(File() + ".unreadable"), ReadFile(source));
    } else {
      EXPECT_EQ(ListDir(Folder()), Names{"Vantrel.conf"});
    }
    EXPECT_LT(ReadFile(File()).size(), 8192u);
  }
}

// A second name for the old file sees whatever is written into it in place:
// a save must put a whole new file under the name, or leave the old one.
TEST_F(IniFileStoreTest, ASaveReplacesTheWholeFileOrLeavesTheOldOne) {
  autostart.registered = true;
  Save(BarSettings{});
  const std::string secondName = dir / "old.conf";
  ASSERT_EQ(link(File().c_str(), secondName.c_str()), 0);

  BarSettings s;
  s.connection = std::string(255, 'c');
  {
    testing::FileSizeLimit full(200);  // the new file needs more than this
    IniFileStore store(File());
    SaveSettings(s, store, autostart);
    EXPECT_FALSE(store.Sync());
  }
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);
  EXPECT_EQ(ListDir(Folder()), Names{"Vantrel.conf"});

  Save(s);
  EXPECT_EQ(ReadFile(secondName), kDefaultsFile);
  EXPECT_EQ(Load().connection, s.connection);
}

// --- Where a save writes

TEST_F(IniFileStoreTest, TheNextSaveDeletesWhatAnInterruptedSaveLeftBehind) {
  MakeFolder();
  const Names leftovers = {".Vantrel.conf.Ab12Cd", ".Vantrel.conf.zzzzzz"};
  const Names others = {".Vantrel.conf.fresh1", ".Vantrel.conf.toolong", ".Vantrel.conf.ab-12c",
                        ".Other.conf.Ab12Cd", "Vantrel.conf.Ab12Cd"};
  const timespec anHourAgo[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
  for (const std::string& name : leftovers) {
    WriteFile(Folder() + "/" + name, "[GUI]\nPosit");
    ASSERT_EQ(utimensat(AT_FDCWD, (Folder() + "/" + name).c_str(), anHourAgo, 0), 0);
  }
  for (const std::string& name : others) {
    WriteFile(Folder() + "/" + name, "not ours");
    if (name != ".Vantrel.conf.fresh1") utimensat(AT_FDCWD, (Folder() + "/" + name).c_str(), anHourAgo, 0);
  }
  ASSERT_TRUE(SavePosition(0));
  Names expected = others;
  expected.push_back("Vantrel.conf");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ListDir(Folder()), expected);
}

TEST_F(IniFileStoreTest, ALinkToARegularFileIsFollowedAndStaysALink) {
  const std::string target = dir / "dotfiles/vantrel.conf";
  ASSERT_TRUE(std::filesystem::create_directories(dir / "dotfiles"));
  WriteFile(target, "[Other]\nKey=kept\n");
  MakeFolder();
  ASSERT_EQ(symlink("../dotfiles/vantrel.conf", File().c_str()), 0);
  ASSERT_TRUE(SavePosition(0));
  EXPECT_TRUE(std::filesystem::is_symlink(File()));
  EXPECT_EQ(ReadFile(target), "[GUI]\nPosition=0\n\n[Other]\nKey=kept\n");
  EXPECT_EQ(ListDir(dir / "dotfiles"), Names{"vantrel.conf"});
  EXPECT_EQ(ListDir(Folder()), Names{"Vantrel.conf"});
}

// A failed save says on stderr, once, which file and why; a read-only file
// keeps the settings in it (read, never replaced, said once).
TEST_F(IniFileStoreTest, AFailedSaveSaysWhichFileAndWhyAndAReadOnlyFileIsKept) {
  MakeFolder();
  const auto told = [this](const std::function<bool()>& save, bool saved, const std::string& what) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(save(), saved) << what;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "vantrel: " + what + "\n");
  };
  {
    testing::FileSizeLimit full(400);  // room for the captured line, not for the file
    told(
        [this] {
          return SaveSettings({.connection = std::string(500, 'c')}, *std::make_unique<IniFileStore>(File()),
                              autostart);
        },
        false, "the settings could not be saved to " + File() + ": File too large");
  }
  WriteFile(File(), "[GUI]\nPosition=0\n");
  ASSERT_EQ(chmod(File().c_str(), 0444), 0);
  told(
      [this] {
        IniFileStore store(File());
        return store.WriteInt("GUI", "Position", 1) && store.Sync() && store.WriteInt("GUI", "Position", 2) &&
               store.Sync() && Load().position == 0;
      },
      true, File() + " is read-only: the settings in it stay as they are");
  EXPECT_EQ(ListDir(Folder()), Names{"Vantrel.conf"});
  // A long name: the temporary file's name stays short.
  IniFileStore store(Folder() + "/" + std::string(246, 'n') + ".conf");
  store.WriteInt("GUI", "Position", 0);
  EXPECT_TRUE(store.Sync());
}

// As an ordinary user (root reads and writes any file): a file that cannot be
// read is kept aside once and the new one can be read at the next start; a
// read-only folder fails the save, says so and leaves the file.
TEST_F(IniFileStoreTest, AsAUserAnUnreadableFileIsKeptAsideOnceAndAReadOnlyFolderFails) {
  MakeFolder();
  WriteFile(File(), "[GUI]\nPosition=0\n");
  ASSERT_EQ(chmod(File().c_str(), 0), 0);
  const auto asUser = [this] {
    const uid_t nobody = 65534;
    if (geteuid() == 0 && (chown(dir.path().c_str(), nobody, nobody) ||
                           chown(Folder().c_str(), nobody, nobody) || chown(File().c_str(), nobody, nobody) ||
                           setresgid(nobody, nobody, nobody) || setresuid(nobody, nobody, nobody))) {
      std::exit(2);
    }
    umask(022);
    for (std::int32_t run = 3; run <= 4; ++run) {
      IniFileStore store(File());
      if (store.ReadInt("GUI", "Position", -1) != (run == 3 ? -1 : 3) ||
          !store.WriteInt("GUI", "Position", run) || !store.Sync()) {
        std::exit(3);
      }
    }
    struct stat info {};
    if (stat(File().c_str(), &info) != 0 || (info.st_mode & 07777) != 0644 ||
        ListDir(Folder()) != Names{"Vantrel.conf", "Vantrel.conf.unreadable"}) {
      std::exit(4);
    }
    chmod(Folder().c_str(), 0555);
    std::exit(SavePosition(5) || ReadFile(File()) != "[GUI]\nPosition=4\n" ? 5 : 0);
  };
  EXPECT_EXIT(asUser(), ::testing::ExitedWithCode(0),
              "^vantrel: the settings could not be saved to .*/Vantrel.conf: Permission denied\n$");
}

TEST_F(IniFileStoreTest, WhatIsNotARegularFileIsNeverReplaced) {
  MakeFolder();
  const std::string fifo = dir / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto kind = [](const std::string& path) { return std::filesystem::symlink_status(path).type(); };
  const std::pair<const char*, std::function<int()>> cases[] = {
      {"a pipe", [&] { return mkfifo(File().c_str(), 0600); }},
      {"a folder", [&] { return mkdir(File().c_str(), 0700); }},
      {"a link to a pipe", [&] { return symlink(fifo.c_str(), File().c_str()); }},
      {"a dangling link", [&] { return symlink((dir / "missing").c_str(), File().c_str()); }},
  };
  for (const auto& [what, make] : cases) {
    ASSERT_EQ(make(), 0) << what;
    const auto before = kind(File());
    EXPECT_EQ(Load(), BarSettings{}) << what;  // would hang if the pipe were opened for reading
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(SavePosition(0)) << what;
    EXPECT_EQ(::testing::internal::GetCapturedStderr().rfind(
                  "vantrel: the settings could not be saved to " + File() + ": ", 0),
              0u)
        << what;
    EXPECT_EQ(kind(File()), before) << what;
    EXPECT_EQ(ListDir(Folder()), Names{"Vantrel.conf"}) << what;
    std::filesystem::remove(File());
  }
  EXPECT_EQ(kind(fifo), std::filesystem::file_type::fifo);
}

TEST_F(IniFileStoreTest, AFileThatCouldNotBeReadIsKeptAsideBeforeASaveReplacesIt) {
  MakeFolder();
  std::string limit = "[General]\nRun%20at%20startup=0\n[GUI]\nPosition=0\n[Padding]\nX=";
  limit += std::string(IniFileStore::kMaxFileSize - limit.size() - 1, 'p') + "\n";
  WriteFile(File(), limit);
  EXPECT_EQ(Load().position, 0) << "a file of exactly the limit is read";

  const std::string tooLarge = limit + "z";
  WriteFile(File(), tooLarge);
  EXPECT_EQ(Load(), BarSettings{});
  autostart.registered = true;
  Save(BarSettings{});
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);
  EXPECT_EQ(ReadFile(File() + ".unreadable"), tooLarge);

  Save(BarSettings{});  // the file is readable now: nothing more is kept
  EXPECT_EQ(ListDir(Folder()), (Names{"Vantrel.conf", "Vantrel.conf.unreadable"}));

  // A second unreadable file does not take the place of the first.
  WriteFile(File(), std::string("\0\x01\x02", 3));
  ASSERT_TRUE(SavePosition(0));
  EXPECT_EQ(ReadFile(File() + ".unreadable"), tooLarge);
  EXPECT_EQ(ReadFile(File() + ".unreadable.1"), std::string("\0\x01\x02", 3));
}

}  // namespace
}  // namespace vantrel
