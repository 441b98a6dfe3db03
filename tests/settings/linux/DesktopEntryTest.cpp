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

}  // namespace
}  // namespace vantrel
