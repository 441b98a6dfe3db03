#include "settings/linux/DesktopEntry.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// The entries in the autostart corpus hold more of these cases.
TEST(ExecValue, AnythingButOneProgramDecodesToNothing) {
  const char* values[] = {
      "",
      "/usr/bin/vantrel%",
      "/usr/bin/vantrel;reboot",
      "\"/usr/bin/vantrel\" arg",
      "\"/usr/bin/\\\\q\"",  // \q is no escape inside quotes (nor outside)
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

// The entries in the autostart corpus hold more of these cases.
TEST(ParseDesktopEntryGroup, RefusesMalformedEntries) {
  const char* texts[] = {
      "# only a comment\n",           "[Desktop Entry]\n[Desktop Entry]\n", "[Desktop Entry]\n=no key\n",
      "[Desktop Entry]\nBad_Key=1\n", "[Desktop Entry\nExec=/x\n",
  };
  for (const char* text : texts) EXPECT_FALSE(ParseDesktopEntryGroup(text)) << text;
}

}  // namespace
}  // namespace vantrel
