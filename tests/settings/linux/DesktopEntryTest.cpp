#include "settings/linux/DesktopEntry.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// Paths with every character that needs care in an Exec key.
const std::string kAwkwardPaths[] = {
    "/usr/bin/vantrel",
    "/opt/Brindle Labs/bin/Vantrel",
    "/home/o'brien/bin/vantrel",
    "/tmp/say \"hi\"/vantrel",
    "/tmp/back\\slash/vantrel",
    "/tmp/$HOME/vantrel",
    "/tmp/`id`/vantrel",
    "/tmp/100%/vantrel %U",
    "/tmp/a;b&c|d>e<f*g?h#i(j)k~l/vantrel",
    "/tmp/x=y/[z]/vantrel",
    "/home/j\xC3\xBCrgen/\xE6\x96\x87\xE5\xAD\x97/vantrel",
    "/tmp/\\\\\"\\\"$`/vantrel",
    "/tmp/trailing space /vantrel ",
};

TEST(ExecValue, AwkwardPathsRoundTrip) {
  for (const std::string& path : kAwkwardPaths) {
    const std::optional<std::string> value = EncodeExecValue(path);
    ASSERT_TRUE(value) << path;
    EXPECT_EQ(value->find('\n'), std::string::npos);
    EXPECT_EQ(DecodeExecValue(*value), path) << "written as " << *value;
  }
}

TEST(ExecValue, QuotesAndEscapesByTheDesktopEntryRules) {
  EXPECT_EQ(EncodeExecValue("/usr/bin/vantrel"), "/usr/bin/vantrel") << "nothing to quote";
  EXPECT_EQ(EncodeExecValue("/opt/my apps/vantrel"), "\"/opt/my apps/vantrel\"");
  // Inside quotes ", `, $ and \ take a backslash; then each backslash of the
  // string value is written twice.
  EXPECT_EQ(EncodeExecValue("/a/$x"), R"("/a/\\$x")");
  EXPECT_EQ(EncodeExecValue("/a/`x`"), R"("/a/\\`x\\`")");
  EXPECT_EQ(EncodeExecValue("/a/\"x\""), R"("/a/\\"x\\"")");
  EXPECT_EQ(EncodeExecValue("/a\\b"), R"("/a\\\\b")");
  EXPECT_EQ(EncodeExecValue("/a/it's"), R"("/a/it's")");
  EXPECT_EQ(EncodeExecValue("/a/50%"), "/a/50%%") << "a percent sign is no field code";
}

TEST(ExecValue, PathsThatCannotBeWrittenSafelyAreRefused) {
  EXPECT_FALSE(EncodeExecValue(""));
  EXPECT_FALSE(EncodeExecValue("vantrel")) << "not absolute";
  EXPECT_FALSE(EncodeExecValue("/tmp/x\nHidden=true")) << "a newline would add a key";
  EXPECT_FALSE(EncodeExecValue("/tmp/x\r"));
  EXPECT_FALSE(EncodeExecValue("/tmp/a\tb"));
  EXPECT_FALSE(EncodeExecValue("/tmp/\x7F"));
  EXPECT_FALSE(EncodeExecValue(std::string_view("/tmp/a\0b", 8)));
  EXPECT_FALSE(EncodeExecValue("/tmp/caf\xE9")) << "not UTF-8";
}

TEST(ExecValue, AnythingButOneProgramDecodesToNothing) {
  const char* values[] = {
      "",
      "/usr/bin/vantrel --minimized",
      "/usr/bin/vantrel %U",
      "/usr/bin/vantrel%",
      "sh -c /usr/bin/vantrel",
      "/usr/bin/vantrel;reboot",
      "\"/usr/bin/vantrel\" arg",
      "\"/usr/bin/vantrel\"x",
      "\"/usr/bin/vantrel",
      "\"/usr/bin/\\\\q\"",  // \q is no escape inside quotes
      "/usr/bin/\\q",        // nor in a string value
      "/usr/bin/vantrel\\",
      "/usr/bin/$HOME",
      "/usr/bin/a\\sb",  // \s is a space, which needs quotes
  };
  for (const char* value : values) EXPECT_FALSE(DecodeExecValue(value)) << value;
  EXPECT_EQ(DecodeExecValue("\"/usr/bin/vantrel\""), "/usr/bin/vantrel") << "quotes that are not needed";
}

TEST(IsValidUtf8, AcceptsUtf8AndNothingElse) {
  EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xB6"));
  EXPECT_FALSE(IsValidUtf8("\xC3"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF")) << "overlong";
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")) << "surrogate";
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")) << "beyond U+10FFFF";
  EXPECT_FALSE(IsValidUtf8("\x80"));
}

TEST(ParseDesktopEntryGroup, GivesTheKeysOfTheEntryGroup) {
  const auto entry = ParseDesktopEntryGroup(
      "# comment\n\n[Desktop Entry]\nType=Application\nName[de]=Verkehr\nExec = /x\n\n[Desktop Action a]\n"
      "Exec=/y\n");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->at("Type"), "Application");
  EXPECT_EQ(entry->at("Exec"), "/x") << "blanks around = are not part of the value";
  EXPECT_EQ(entry->at("Name[de]"), "Verkehr");
  EXPECT_EQ(entry->size(), 3u) << "keys of other groups are not mixed in";
}

TEST(ParseDesktopEntryGroup, RefusesMalformedEntries) {
  const char* texts[] = {
      "",
      "# only a comment\n",
      "Exec=/x\n[Desktop Entry]\n",
      "[Other]\n[Desktop Entry]\nExec=/x\n",
      "[Desktop Entry]\nExec=/x\nExec=/y\n",
      "[Desktop Entry]\n[Desktop Entry]\n",
      "[Desktop Entry]\nnot a key\n",
      "[Desktop Entry]\n=no key\n",
      "[Desktop Entry]\nBad_Key=1\n",
      "[Desktop Entry\nExec=/x\n",
      "[Desktop Entry]\r\nExec=/x\r\n",
  };
  for (const char* text : texts) EXPECT_FALSE(ParseDesktopEntryGroup(text)) << text;
}

TEST(MakeAutostartEntry, IsOneApplicationEntryWithTheGivenExec) {
  const auto entry = ParseDesktopEntryGroup(MakeAutostartEntry(*EncodeExecValue("/opt/a b/vantrel")));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->at("Type"), "Application");
  EXPECT_EQ(entry->at("Name"), "VantRel");
  EXPECT_FALSE(entry->at("Comment").empty());
  EXPECT_FALSE(entry->at("Icon").empty());
  EXPECT_EQ(DecodeExecValue(entry->at("Exec")), "/opt/a b/vantrel");
}

}  // namespace
}  // namespace vantrel
