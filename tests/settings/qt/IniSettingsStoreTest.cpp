#include "settings/qt/IniSettingsStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <limits>

#include "settings/SettingsPersistence.h"
#include "settings/SettingsTestFiles.h"

namespace vantrel {
namespace {

using testing::ListDir;
using testing::ReadFile;
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
    "[General]\nConnection=\nRun%20at%20startup=1\n\n"
    "[GUI]\nBG%20Color=3174416\nDownload%20Color=1061056\nGraph%20Color=0\nLabel%20Color=12632256\n"
    "Position=1\nText%20Color=16777215\nUpload%20Color=3195072\n";

class IniSettingsStoreTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir / "Brindle Labs"; }
  std::string File() const { return Folder() + "/Vantrel.conf"; }
  void MakeFolder() const { ASSERT_EQ(mkdir(Folder().c_str(), 0700), 0); }
  std::vector<std::string> OnlyTheFile() const { return {"Vantrel.conf"}; }

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

  testing::TempDir dir;
  StubRunAtStartup autostart;
};

TEST_F(IniSettingsStoreTest, ReadsNeverCreateTheFileOrItsFolder) {
  EXPECT_EQ(Load(), BarSettings{});
  EXPECT_TRUE(ListDir(dir.path()).empty());
  MakeFolder();
  EXPECT_EQ(Load(), BarSettings{});
  EXPECT_TRUE(ListDir(Folder()).empty());
}

TEST_F(IniSettingsStoreTest, FirstStartRegistersAndTheSaveStoresTheDefaults) {
  BarSettings s = Load();
  EXPECT_EQ(s, BarSettings{});
  EXPECT_EQ(autostart.registerCalls, 1);
  Save(s);
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);
  EXPECT_EQ(ListDir(Folder()), OnlyTheFile()) << "no lock or temporary files left";

  EXPECT_EQ(Load(), BarSettings{});
  EXPECT_EQ(autostart.registerCalls, 1) << "a stored value means no new registration";
}

TEST_F(IniSettingsStoreTest, EveryFieldRoundTripsThroughTheFile) {
  const BarSettings s{.connection = "Intel(R) Ethernet Connection (7) I219-LM",
                      .bgColor = 0xFF000000u,
                      .textColor = 0x80000000u,
                      .labelColor = 0xFFFFFFFFu,
                      .graphColor = 0x7FFFFFFFu,
                      .downloadColor = 1,
                      .uploadColor = 0x00ABCDEFu,
                      .position = std::numeric_limits<std::int32_t>::min(),
                      .runAtStartup = 0};
  Save(s);
  EXPECT_EQ(Load(), s);
}

TEST_F(IniSettingsStoreTest, IntegersAreReadFromTheirDecimalTextWithin32Bits) {
  constexpr std::int32_t kFallback = -77;
  // "4278190080" is a colour with its top byte written unsigned; the
  // @Variant is an int as QSettings stores one.
  const std::pair<std::string, std::int32_t> read[] = {
      {"0", 0},
      {"-5", -5},
      {"+5", 5},
      {"  12  ", 12},
      {"4278190080", -16777216},
      {"4294967295", -1},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"@Variant(\\0\\0\\0\\x2\\0\\0\\0\\a)", 7},
  };
  const char* refused[] = {
      "4294967296", "-2147483649", "99999999999999999999999", "", "12abc", "1.0", "1e3", "0x10",
      "true",       "1, 2",        "@Rect(1 2 3 4)"};
  std::vector<std::pair<std::string, std::int32_t>> cases(std::begin(read), std::end(read));
  for (const char* text : refused) cases.emplace_back(text, kFallback);
  MakeFolder();
  std::string text = "[GUI]\n";
  for (std::size_t i = 0; i < cases.size(); ++i) {
    text += "Case" + std::to_string(i) + "=" + cases[i].first + "\n";
  }
  WriteFile(File(), text);
  IniSettingsStore store(File());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(store.ReadInt("GUI", "Case" + std::to_string(i), kFallback), cases[i].second)
        << "stored text: " << cases[i].first;
  }
}

TEST_F(IniSettingsStoreTest, TextsRoundTripByteForByteUpToTheFirstNul) {
  std::vector<std::string> texts = {"",
                                    " leading and trailing spaces ",
                                    "comma, semicolon; equals = hash # quote \" apostrophe '",
                                    "back\\slash and \\n not a newline",
                                    "@ByteArray(looks like a value)",
                                    "@@",
                                    "[GUI]",
                                    "line\nbreak\ttab\rreturn",
                                    "Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x93\xB6",
                                    "caf\xE9 \xFF\xFE not UTF-8",
                                    "\xC3"};
  texts.push_back(std::string(4000, 'y'));
  texts.push_back(std::string("eth0\0hidden", 11));
  const auto key = [](std::size_t i) { return "Text" + std::to_string(i); };
  {
    IniSettingsStore store(File());
    for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_TRUE(store.WriteString("", key(i), texts[i]));
    EXPECT_TRUE(ListDir(dir.path()).empty()) << "nothing is written before Sync";
  }
  IniSettingsStore store(File());  // the first store wrote its values when it was destroyed
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(store.ReadString("", key(i), "?"), texts[i].substr(0, texts[i].find('\0'))) << i;
  }
  EXPECT_EQ(ReadFile(File()).find("hidden"), std::string::npos);
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

// --- Damaged and hostile files

struct CorpusCase {
  const char* file;
  BarSettings expected;  // runAtStartup 1: the value could not be read, so the load registers
};

void PrintTo(const CorpusCase& c, std::ostream* out) {
  *out << c.file;
}

const CorpusCase kCorpus[] = {
    {"empty.conf", {}},
    {"binary-garbage.conf", {}},
    {"wrong-types.conf", {.connection = "", .uploadColor = 255}},  // a text with a comma reads as a list
    {"huge-numbers.conf",
     {.connection = "eth0",
      .bgColor = 0xFF000000u,
      .graphColor = 0x80000000u,
      .downloadColor = 0xFFFFFFFFu,
      .position = -5}},
    {"duplicate-keys.conf", {.connection = "second", .bgColor = 1, .position = 5, .runAtStartup = 0}},
    {"missing-gui-section.conf", {.connection = "wlp2s0", .runAtStartup = 0}},
    {"no-section-header.conf", {.connection = "enp0s31f6", .position = 0, .runAtStartup = 0}},
    {"crlf-line-ends.conf", {.connection = "eth1", .textColor = 255, .position = 0, .runAtStartup = 0}},
    {"long-connection.conf", {.connection = std::string(255, 'a'), .runAtStartup = 0}},
    {"nul-bytes.conf", {.connection = "eth", .bgColor = 7, .runAtStartup = 0}},
    {"broken-lines.conf", {.connection = "", .textColor = 17, .position = 0, .runAtStartup = 0}},
    {"literal-spaces-in-names.conf",
     {.connection = "Intel(R) Wi-Fi 6 AX201 160MHz",
      .bgColor = 0x00123456u,
      .uploadColor = 0xFFFFFFFFu,
      .position = 0,
      .runAtStartup = 0}},
    // Undecodable bytes read as U+FFFD.
    {"invalid-utf8.conf", {.connection = "caf\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD", .runAtStartup = 0}},
};

class CorpusTest : public IniSettingsStoreTest, public ::testing::WithParamInterface<CorpusCase> {};

TEST_P(CorpusTest, LoadsWhatItCanAndASaveOverItReadsBackWhole) {
  const std::string source = std::string(VANTREL_SETTINGS_CORPUS) + "/" + GetParam().file;
  ASSERT_TRUE(std::filesystem::is_regular_file(source)) << source;
  MakeFolder();
  WriteFile(File(), ReadFile(source));
  EXPECT_EQ(Load(), GetParam().expected);
  EXPECT_EQ(autostart.registerCalls, GetParam().expected.runAtStartup == 1 ? 1 : 0);

  BarSettings s;
  s.connection = "saved";
  s.position = 0;
  s.bgColor = 0xFF102030u;
  autostart.registered = true;
  Save(s);
  EXPECT_EQ(Load(), s);
  EXPECT_EQ(ListDir(Folder()), OnlyTheFile());
  EXPECT_LT(ReadFile(File()).size(), 8192u);
}

INSTANTIATE_TEST_SUITE_P(HostileFiles, CorpusTest, ::testing::ValuesIn(kCorpus));

TEST_F(IniSettingsStoreTest, AFileOverTheSizeLimitIsNotReadAndASaveReplacesIt) {
  MakeFolder();
  std::string text = "[General]\nRun%20at%20startup=0\n[GUI]\nPosition=0\n[Padding]\nX=";
  text += std::string(IniSettingsStore::kMaxFileSize - text.size() - 1, 'p') + "\n";
  WriteFile(File(), text);
  EXPECT_EQ(Load().position, 0) << "a file of exactly the limit is read";

  WriteFile(File(), text + "z");
  EXPECT_EQ(Load(), BarSettings{});
  EXPECT_EQ(autostart.registerCalls, 1);
  autostart.registered = true;
  Save(BarSettings{});
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);
}

TEST_F(IniSettingsStoreTest, AFolderOrPipeWhereTheFileShouldBeIsLeftAlone) {
  MakeFolder();
  ASSERT_EQ(mkfifo(File().c_str(), 0600), 0);
  EXPECT_EQ(Load(), BarSettings{});  // would hang if the pipe were opened for reading

  std::filesystem::remove(File());
  ASSERT_EQ(mkdir(File().c_str(), 0700), 0);
  EXPECT_EQ(Load(), BarSettings{});
  IniSettingsStore store(File());
  store.WriteInt("GUI", "Position", 0);
  EXPECT_FALSE(store.Sync());
  EXPECT_TRUE(ListDir(File()).empty());
  EXPECT_EQ(ListDir(Folder()), OnlyTheFile());
}

// A second name for the old file sees whatever is written into it in place:
// a save must put a whole new file under the name, or leave the old one.
TEST_F(IniSettingsStoreTest, ASaveReplacesTheWholeFileOrLeavesTheOldOne) {
  autostart.registered = true;
  Save(BarSettings{});
  const std::string secondName = dir / "old.conf";
  ASSERT_EQ(link(File().c_str(), secondName.c_str()), 0);

  BarSettings s;
  s.connection = std::string(255, 'c');
  {
    testing::FileSizeLimit full(200);  // the new file needs more than this
    IniSettingsStore store(File());
    SaveSettings(s, store, autostart);
    EXPECT_FALSE(store.Sync());
  }
  EXPECT_EQ(ReadFile(File()), kDefaultsFile);
  EXPECT_EQ(ListDir(Folder()), OnlyTheFile());

  Save(s);
  EXPECT_EQ(ReadFile(secondName), kDefaultsFile);
  EXPECT_EQ(Load().connection, s.connection);
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
