#include "app/CTrafficBarApp.h"

namespace vantrel {
CTrafficBarApp g_application;
}

int main(int argc, char** argv) {
  return vantrel::g_application.Run(argc, argv);
}
