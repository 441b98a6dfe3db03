// main() for GoogleTest programs that need a QApplication.
#include <QApplication>
#include <gtest/gtest.h>

// fontconfig keeps a few blocks for the life of the process on purpose; the
// leak checker of a sanitizer build is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

int main(int argc, char** argv) {
  // Run by hand without a display, the tests still get a platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
