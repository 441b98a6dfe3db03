// main() for GoogleTest programs that need a QApplication.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // The tests are listed at build time, without CTest's environment and maybe without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
