#include "settings/ApplicationName.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(ApplicationNameFromPath, IsTheFileNameWithoutItsLastExtension) {
  EXPECT_EQ(ApplicationNameFromPath("/usr/bin/vantrel"), "vantrel");
  EXPECT_EQ(ApplicationNameFromPath("/opt/Brindle Labs/Vantrel.exe"), "Vantrel");
  EXPECT_EQ(ApplicationNameFromPath("/home/u/bin/vantrel.1.2"), "vantrel.1");
  EXPECT_EQ(ApplicationNameFromPath("/home/u/.vantrel"), ".vantrel") << "a leading dot starts no extension";
  EXPECT_EQ(ApplicationNameFromPath("/dir.d/vantrel"), "vantrel") << "dots of folders do not count";
  EXPECT_EQ(ApplicationNameFromPath("Vantrel"), "Vantrel");
  EXPECT_EQ(ApplicationNameFromPath(""), "");
}

TEST(IsPlainFileName, RefusesWhatWouldLeaveTheFolder) {
  EXPECT_TRUE(IsPlainFileName("Vantrel"));
  EXPECT_TRUE(IsPlainFileName("Brindle Labs"));
  EXPECT_FALSE(IsPlainFileName(""));
  EXPECT_FALSE(IsPlainFileName("."));
  EXPECT_FALSE(IsPlainFileName(".."));
  EXPECT_FALSE(IsPlainFileName("../x"));
  EXPECT_FALSE(IsPlainFileName("a/b"));
  EXPECT_FALSE(IsPlainFileName(std::string_view("a\0b", 3)));
}

}  // namespace
}  // namespace vantrel
