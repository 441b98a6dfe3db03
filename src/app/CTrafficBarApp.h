#pragma once

#include <QString>

namespace vantrel {

class CTrafficBarDlg;

// The program: runs the bar modally for the whole life of the process.
class CTrafficBarApp {
 public:
  // Runs the program; the process's exit code.
  int Run(int argc, char** argv);

  // Runs the bar from start to end; always false, as nothing follows it.
  bool InitInstance();

  // The bar while it runs, else null.
  CTrafficBarDlg* m_pMainWnd = nullptr;

 private:
  void SetRegistryKey(const QString& company) { company_ = company; }

  QString company_;
};

// The one application object.
extern CTrafficBarApp g_application;

}  // namespace vantrel
