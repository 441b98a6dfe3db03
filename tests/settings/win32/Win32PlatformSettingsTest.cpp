#include <gtest/gtest.h>

#include "settings/PlatformSettings.h"

namespace vantrel {
namespace {

// Windows gives the executable's path with backslashes
// ("Z:\...\tests\settings\win32\settings_win32_tests.exe").
TEST(Win32PlatformSettings, ApplicationNameIsTheExecutablesFileNameWithoutExtension) {
  EXPECT_EQ(PlatformApplicationName(), "settings_win32_tests");
}

}  // namespace
}  // namespace vantrel
