#include "settings/qt/IniSettingsStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <limits>

#include "settings/SettingsPersistence.h"
#include "settings/SettingsTestFiles.h"

namespace vantrel {
namespace {

using testing::FileSizeLimit;
using testing::ListDir;
using testing::ReadFile;
using testing::RunWithFileModes;
using testing::TempDir;
using testing::WriteFile;

class StubRunAtStartup final : public RunAtStartup {
 public:
  bool RegisterRunAtStartup() override {
    ++registerCalls;
    return registered = true;
  }
  bool UnregisterRunAtStartup() override { return !(registered = false); }
  bool IsRunAtStartupRegistered() override { return registered; }
  bool registered = false;
  int registerCalls = 0;
};

// What a save of the default record writes while the entry exists.
constexpr std::string_view kDefaultsFile =
    "[General]\n"
    "Connection=\n"
    "Run%20at%20startup=1\n"
    "\n"
    "[GUI]\n"
    "BG%20Color=3174416\n"
    "Download%20Color=1061056\n"
    "Graph%20Color=0\n"
    "Label%20Color=12632256\n"
    "Position=1\n"
    "Text%20Color=16777215\n"
    "Upload%20Color=3195072\n";

class IniSettingsStoreTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir / "Brindle Labs"; }
  std::string File() const { return Folder() + "/Vantrel.conf"; }
  void MakeFolder() const { ASSERT_EQ(mkdir(Folder().c_str(), 0700), 0); }

  BarSettings Load() {
    IniSettingsStore store(File());
    BarSettings s;
    LoadSettings(s, store, autostart);
    return s;
  }
  void Save(const BarSettings& s) {
    IniSettingsStore store(File());
    SaveSettings(s, store, autostart);
  }

  TempDir dir;
  StubRunAtStartup autostart;
};

TEST_F(IniSettingsStoreTest, ReadsNeverCreateTheFileOrItsFolder) {
  {
    IniSettingsStore store(File());
    EXPECT_EQ(store.ReadInt("GUI", "Position", 42), 42);
    EXPECT_EQ(store.ReadString("", "Connection", "none"), "none");
    BarSettings s;
    LoadSettings(s, store, autostart);
    EXPECT_EQ(s, BarSettings{});
  }
  EXPECT_TRUE(ListDir(dir.path()).empty());

  MakeFolder();
  { IniSettingsStore(File()).ReadInt("", "Run at startup", 2); }
  EXPECT_TRUE(ListDir(Folder()).empty());
}

TEST_F(IniSettingsStoreTest, ASaveWritesTheNineValuesAsOneIniFile) {
  autostart.registered = true;
  Save(BarSettings{});
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);
  EXPECT_EQ(ListDir(Folder()), std::vector<std::string>{"Vantrel.conf"}) << "no lock or temporary files left";
}

TEST_F(IniSettingsStoreTest, FirstStartRegistersAndTheSaveStoresTheDefaults) {
  BarSettings s = Load();
  EXPECT_EQ(s, BarSettings{});
  EXPECT_EQ(autostart.registerCalls, 1);
  Save(s);
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);

  EXPECT_EQ(Load(), BarSettings{});
  EXPECT_EQ(autostart.registerCalls, 1) << "a stored value means no new registration";
}

TEST_F(IniSettingsStoreTest, EveryFieldRoundTripsThroughTheFile) {
  BarSettings s;
  s.connection = "Intel(R) Ethernet Connection (7) I219-LM";
  s.bgColor = 0xFF000000u;
  s.textColor = 0x80000000u;
  s.labelColor = 0xFFFFFFFFu;
  s.graphColor = 0x7FFFFFFFu;
  s.downloadColor = 1;
  s.uploadColor = 0x00ABCDEFu;
  s.position = std::numeric_limits<std::int32_t>::min();
  s.runAtStartup = 0;
  Save(s);
  EXPECT_EQ(Load(), s);
}

TEST_F(IniSettingsStoreTest, Every32BitIntegerRoundTrips) {
  const std::int32_t values[] = {std::numeric_limits<std::int32_t>::min(), -16777216, -1, 0, 1, 2, 255,
                                 std::numeric_limits<std::int32_t>::max()};
  {
    IniSettingsStore store(File());
    for (const std::int32_t value : values) {
      ASSERT_TRUE(store.WriteInt("GUI", "Value " + std::to_string(value), value));
    }
    ASSERT_TRUE(store.Sync());
  }
  IniSettingsStore store(File());
  for (const std::int32_t value : values) {
    EXPECT_EQ(store.ReadInt("GUI", "Value " + std::to_string(value), 12345), value);
  }
}

TEST_F(IniSettingsStoreTest, IntegersAreReadFromTheirDecimalTextWithin32Bits) {
  struct Case {
    const char* text;
    std::int32_t expected;
  };
  constexpr std::int32_t kFallback = -77;
  const Case cases[] = {
      {"0", 0},
      {"-5", -5},
      {"+5", 5},
      {"  12  ", 12},
      {"4278190080", -16777216},  // a colour with its top byte, written unsigned
      {"4294967295", -1},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"4294967296", kFallback},
      {"-2147483649", kFallback},
      {"99999999999999999999999", kFallback},
      {"", kFallback},
      {"12abc", kFallback},
      {"1.0", kFallback},
      {"1e3", kFallback},
      {"0x10", kFallback},
      {"true", kFallback},
      {"1, 2", kFallback},
      {"@Variant(\\0\\0\\0\\x2\\0\\0\\0\\a)", 7},  // an int stored by QSettings as a variant
      {"@Rect(1 2 3 4)", kFallback},
  };
  MakeFolder();
  std::string text = "[GUI]\n";
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    text += "Case" + std::to_string(i) + "=" + cases[i].text + "\n";
  }
  WriteFile(File(), text);
  IniSettingsStore store(File());
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(store.ReadInt("GUI", "Case" + std::to_string(i), kFallback), cases[i].expected)
        << "stored text: " << cases[i].text;
  }
}

TEST_F(IniSettingsStoreTest, TextsRoundTripByteForByte) {
  const std::string texts[] = {
      "",
      "plain",
      " leading and trailing spaces ",
      "comma, semicolon; equals = hash # quote \" apostrophe '",
      "back\\slash and \\n not a newline",
      "@ByteArray(looks like a value)",
      "@@",
      "[GUI]",
      "line\nbreak\ttab\rreturn",
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC \xF0\x9F\x93\xB6",
      "caf\xE9 \xFF\xFE not UTF-8",
      "\xC3",
      std::string(255, 'x'),
      std::string(4000, 'y'),
  };
  {
    IniSettingsStore store(File());
    for (std::size_t i = 0; i < std::size(texts); ++i) {
      ASSERT_TRUE(store.WriteString("", "Text" + std::to_string(i), texts[i]));
    }
    ASSERT_TRUE(store.Sync());
  }
  IniSettingsStore store(File());
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    EXPECT_EQ(store.ReadString("", "Text" + std::to_string(i), "fallback"), texts[i]) << i;
  }
}

TEST_F(IniSettingsStoreTest, ATextEndsAtItsFirstNul) {
  {
    IniSettingsStore store(File());
    store.WriteString("", "Connection", std::string_view("eth0\0hidden", 11));
  }
  EXPECT_EQ(IniSettingsStore(File()).ReadString("", "Connection", "?"), "eth0");
  EXPECT_EQ(ReadFile(File()).find("hidden"), std::string::npos);
}

TEST_F(IniSettingsStoreTest, WritesAreSeenAtOnceAndReachTheDiskWhenSyncedOrDestroyed) {
  {
    IniSettingsStore store(File());
    store.WriteInt("GUI", "Position", 0);
    EXPECT_EQ(store.ReadInt("GUI", "Position", 1), 0);
    EXPECT_TRUE(ListDir(dir.path()).empty()) << "nothing is written before Sync";
    EXPECT_TRUE(store.Sync());
    EXPECT_EQ(IniSettingsStore(File()).ReadInt("GUI", "Position", 1), 0);

    store.WriteInt("GUI", "Position", 3);
  }
  EXPECT_EQ(IniSettingsStore(File()).ReadInt("GUI", "Position", 1), 3);
}

TEST_F(IniSettingsStoreTest, ValuesOfOthersInTheFileAreKept) {
  MakeFolder();
  WriteFile(File(),
            "[General]\nConnection=old\nWindow%20State=2\n\n[GUI]\nFont=Sans\n\n[Other]\nKey=value\n");
  IniSettingsStore store(File());
  EXPECT_EQ(store.ReadString("", "Connection", "?"), "old");
  // Someone else adds a value after the store read the file.
  WriteFile(File(), ReadFile(File()) + "Added=later\n");
  store.WriteString("", "Connection", "new");
  ASSERT_TRUE(store.Sync());

  IniSettingsStore reread(File());
  EXPECT_EQ(reread.ReadString("", "Connection", "?"), "new");
  EXPECT_EQ(reread.ReadInt("", "Window State", 0), 2);
  EXPECT_EQ(reread.ReadString("GUI", "Font", "?"), "Sans");
  EXPECT_EQ(reread.ReadString("Other", "Key", "?"), "value");
  EXPECT_EQ(reread.ReadString("Other", "Added", "?"), "later");
}

TEST_F(IniSettingsStoreTest, NamesThatQSettingsWouldSplitAreRefused) {
  IniSettingsStore store(File());
  EXPECT_FALSE(store.WriteInt("GUI/Sub", "Position", 1));
  EXPECT_FALSE(store.WriteInt("GUI", "a\\b", 1));
  EXPECT_FALSE(store.WriteString("", "", "x"));
  EXPECT_EQ(store.ReadInt("GUI/Sub", "Position", 9), 9);
  EXPECT_TRUE(store.Sync());
  EXPECT_TRUE(ListDir(dir.path()).empty());
}

TEST_F(IniSettingsStoreTest, AStoreWithoutAPathReadsDefaultsAndCannotBeWritten) {
  IniSettingsStore store("");
  EXPECT_FALSE(store.WriteInt("GUI", "Position", 0));
  EXPECT_EQ(store.ReadInt("GUI", "Position", 1), 1);
}

// --- Damaged and hostile files

struct CorpusCase {
  const char* file;
  BarSettings expected;
  bool registers;  // "Run at startup" could not be read
};

BarSettings With(void (*change)(BarSettings&)) {
  BarSettings s;
  change(s);
  return s;
}

const CorpusCase kCorpus[] = {
    {"empty.conf", BarSettings{}, true},
    {"binary-garbage.conf", BarSettings{}, true},
    {"wrong-types.conf", With([](BarSettings& s) { s.uploadColor = 255; }), true},
    {"huge-numbers.conf", With([](BarSettings& s) {
       s.connection = "eth0";
       s.position = -5;
       s.bgColor = 0xFF000000u;
       s.graphColor = 0x80000000u;
       s.downloadColor = 0xFFFFFFFFu;
     }),
     true},
    {"duplicate-keys.conf", With([](BarSettings& s) {
       s.connection = "second";
       s.runAtStartup = 0;
       s.position = 5;
       s.bgColor = 1;
     }),
     false},
    {"missing-gui-section.conf", With([](BarSettings& s) {
       s.connection = "wlp2s0";
       s.runAtStartup = 0;
     }),
     false},
    {"no-section-header.conf", With([](BarSettings& s) {
       s.connection = "enp0s31f6";
       s.runAtStartup = 0;
       s.position = 0;
     }),
     false},
    {"crlf-line-ends.conf", With([](BarSettings& s) {
       s.connection = "eth1";
       s.runAtStartup = 0;
       s.position = 0;
       s.textColor = 255;
     }),
     false},
    {"long-connection.conf", With([](BarSettings& s) {
       s.connection = std::string(255, 'a');
       s.runAtStartup = 0;
     }),
     false},
    {"nul-bytes.conf", With([](BarSettings& s) {
       s.connection = "eth";
       s.runAtStartup = 0;
       s.bgColor = 7;
     }),
     false},
    {"broken-lines.conf", With([](BarSettings& s) {
       s.runAtStartup = 0;
       s.position = 0;
       s.textColor = 17;
     }),
     false},
    {"literal-spaces-in-names.conf", With([](BarSettings& s) {
       s.connection = "Intel(R) Wi-Fi 6 AX201 160MHz";
       s.runAtStartup = 0;
       s.position = 0;
       s.bgColor = 0x00123456u;
       s.uploadColor = 0xFFFFFFFFu;
     }),
     false},
    {"invalid-utf8.conf", With([](BarSettings& s) {
       s.connection = "caf\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD";  // undecodable bytes read as U+FFFD
       s.runAtStartup = 0;
     }),
     false},
};

void PrintTo(const CorpusCase& c, std::ostream* out) {
  *out << c.file;
}

class CorpusTest : public IniSettingsStoreTest, public ::testing::WithParamInterface<CorpusCase> {
 protected:
  void SetUp() override {
    MakeFolder();
    const std::string source = std::string(VANTREL_SETTINGS_CORPUS) + "/" + GetParam().file;
    ASSERT_TRUE(std::filesystem::is_regular_file(source)) << source;
    WriteFile(File(), ReadFile(source));
  }
};

TEST_P(CorpusTest, LoadsWhatItCanAndDefaultsTheRest) {
  BarSettings expected = GetParam().expected;
  if (GetParam().registers) expected.runAtStartup = 1;
  EXPECT_EQ(Load(), expected);
  EXPECT_EQ(autostart.registerCalls, GetParam().registers ? 1 : 0);
}

TEST_P(CorpusTest, ASaveOverItLeavesAFileThatReadsBackWhole) {
  BarSettings s;
  s.connection = "saved";
  s.position = 0;
  s.bgColor = 0xFF102030u;
  autostart.registered = true;
  Save(s);
  EXPECT_EQ(Load(), s);
  EXPECT_EQ(ListDir(Folder()), std::vector<std::string>{"Vantrel.conf"});
  EXPECT_LT(ReadFile(File()).size(), 8192u);
}

INSTANTIATE_TEST_SUITE_P(HostileFiles, CorpusTest, ::testing::ValuesIn(kCorpus),
                         [](const ::testing::TestParamInfo<CorpusCase>& info) {
                           std::string name;
                           for (const char* c = info.param.file; *c != '.'; ++c) name += *c == '-' ? '_' : *c;
                           return name;
                         });

TEST_F(IniSettingsStoreTest, AFileWithATenMegabyteLineIsNotReadAndASaveReplacesIt) {
  MakeFolder();
  WriteFile(File(), "[General]\nRun%20at%20startup=0\nConnection=" + std::string(10 * 1024 * 1024, 'z') +
                        "\n[GUI]\nPosition=0\n");
  EXPECT_EQ(Load(), BarSettings{});
  EXPECT_EQ(autostart.registerCalls, 1);

  autostart.registered = true;
  Save(BarSettings{});
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);
}

TEST_F(IniSettingsStoreTest, AFileJustWithinTheLimitIsRead) {
  MakeFolder();
  std::string text = "[General]\nRun%20at%20startup=0\n[GUI]\nPosition=0\n[Padding]\nX=";
  text += std::string(IniSettingsStore::kMaxFileSize - text.size() - 1, 'p') + "\n";
  ASSERT_EQ(text.size(), static_cast<std::size_t>(IniSettingsStore::kMaxFileSize));
  WriteFile(File(), text);
  EXPECT_EQ(Load().position, 0);
}

TEST_F(IniSettingsStoreTest, AFolderWhereTheFileShouldBeIsLeftAlone) {
  MakeFolder();
  ASSERT_EQ(mkdir(File().c_str(), 0700), 0);
  EXPECT_EQ(Load(), BarSettings{});

  IniSettingsStore store(File());
  store.WriteInt("GUI", "Position", 0);
  EXPECT_FALSE(store.Sync());
  EXPECT_EQ(ListDir(Folder()), std::vector<std::string>{"Vantrel.conf"});
  EXPECT_TRUE(ListDir(File()).empty());
}

TEST_F(IniSettingsStoreTest, APipeWhereTheFileShouldBeIsNotWaitedOn) {
  MakeFolder();
  ASSERT_EQ(mkfifo(File().c_str(), 0600), 0);
  EXPECT_EQ(Load(), BarSettings{});  // would hang if the pipe were opened for reading
}

TEST_F(IniSettingsStoreTest, AReadOnlyFolderKeepsThePreviousFileWhole) {
  MakeFolder();
  WriteFile(File(), kDefaultsFile);
  ASSERT_EQ(chmod(Folder().c_str(), 0500), 0);
  const int result = RunWithFileModes(dir.path(), [this] {
    IniSettingsStore store(File());
    if (store.ReadInt("GUI", "Position", -1) != 1) return 2;
    store.WriteInt("GUI", "Position", 0);
    return store.Sync() ? 3 : 0;
  });
  if (result == testing::kCannotDropPrivileges) GTEST_SKIP() << "cannot run without privileges here";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);
  EXPECT_EQ(ListDir(Folder()), std::vector<std::string>{"Vantrel.conf"});
}

TEST_F(IniSettingsStoreTest, AnUnreadableFileReadsAsDefaults) {
  MakeFolder();
  WriteFile(File(), "[GUI]\nPosition=0\n");
  ASSERT_EQ(chmod(File().c_str(), 0), 0);
  const int result = RunWithFileModes(dir.path(), [this] {
    IniSettingsStore store(File());
    return store.ReadInt("GUI", "Position", 1) == 1 ? 0 : 2;
  });
  if (result == testing::kCannotDropPrivileges) GTEST_SKIP() << "cannot run without privileges here";
  EXPECT_EQ(result, 0);
}

TEST_F(IniSettingsStoreTest, AFullDiskKeepsThePreviousFileWhole) {
  autostart.registered = true;
  Save(BarSettings{});
  BarSettings s;
  s.connection = std::string(255, 'c');
  {
    FileSizeLimit full(200);  // the new file needs more than this
    IniSettingsStore store(File());
    SaveSettings(s, store, autostart);
    EXPECT_FALSE(store.Sync());
  }
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);
  EXPECT_EQ(ListDir(Folder()), std::vector<std::string>{"Vantrel.conf"});
  EXPECT_EQ(Load().connection, "") << "the collected writes were not stored";
}

TEST_F(IniSettingsStoreTest, ASaveReplacesTheFileInsteadOfWritingIntoIt) {
  // A second name for the old file sees whatever is written into it in
  // place; a save that crashed half-way through such a write would leave a
  // truncated file. The new file must arrive whole, under the name only.
  autostart.registered = true;
  Save(BarSettings{});
  const std::string secondName = dir / "old.conf";
  ASSERT_EQ(link(File().c_str(), secondName.c_str()), 0);

  BarSettings s;
  s.connection = "replaced";
  Save(s);
  EXPECT_EQ(ReadFile(secondName), kDefaultsFile);
  EXPECT_EQ(Load().connection, "replaced");
}

IniSettingsStore* g_storeSavedAtExit = nullptr;

TEST_F(IniSettingsStoreTest, AStoreCanStillSaveFromAnExitHandlerRegisteredAfterIt) {
  MakeFolder();
  WriteFile(File(), "[GUI]\nPosition=1\n");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    static IniSettingsStore store(File());
    g_storeSavedAtExit = &store;
    std::atexit([] {
      g_storeSavedAtExit->WriteInt("GUI", "Position", 0);
      g_storeSavedAtExit->Sync();
    });
    // The first read of the file comes after the handler was registered.
    if (store.ReadInt("GUI", "Position", -1) != 1) std::_Exit(2);
    std::exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child crashed: " << status;
  EXPECT_EQ(ReadFile(File()), "[GUI]\nPosition=0\n");
}

}  // namespace
}  // namespace vantrel
