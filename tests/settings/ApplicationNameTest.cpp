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

}  // namespace
}  // namespace vantrel
