#pragma once

#include <string>

namespace vantrel {

class BarController;

// The program: runs the bar for the whole life of the process.
class CTrafficBarApp {
 public:
  // Runs the program; the process's exit code.
  int Run(int argc, char** argv);

  // Runs the bar from start to end; always false, as nothing follows it.
  bool InitInstance();

  // The bar while it runs, else null.
  BarController* m_pMainWnd = nullptr;

 private:
  void SetRegistryKey(std::string company) { company_ = std::move(company); }

  std::string company_;
  int exitCode_ = 0;
};

// The one application object.
extern CTrafficBarApp g_application;

}  // namespace vantrel
