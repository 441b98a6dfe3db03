#include "settings/linux/DesktopEntry.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// The autostart corpus holds the other malformed command lines.
TEST(ExecValue, ReservedCharactersOutsideQuotesDecodeToNothing) {
  for (const char* value :
       {"/usr/bin/vantrel;reboot", "/usr/bin/$HOME", "/usr/bin/vantrel%", "/usr/bin/a\\sb"}) {
    EXPECT_FALSE(DecodeExecValue(value)) << value;
  }
}

}  // namespace
}  // namespace vantrel
