#pragma once

#include <windows.h>

#include "controls/win32/CLabelCtrl.h"

namespace vantrel {

// The About box of dialog template IDD_ABOUT: the icon, the product name and
// version in bold, the copyright and licence lines, and the web address as a
// blue, underlined link with a hand cursor that opens in the browser when
// pressed. OK, Escape and the close box all end it.
class CAboutBox {
 public:
  explicit CAboutBox(CLabelCtrl::LinkOpener opener = nullptr);

  // Runs the box modally over `owner`; IDOK or IDCANCEL, or -1 when it
  // cannot be shown.
  INT_PTR DoModal(HWND owner);

  CLabelCtrl& VersionLabel() { return versionLabel_; }
  CLabelCtrl& WebLink() { return webLink_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog(HWND dialog);

  HWND owner_ = nullptr;
  CLabelCtrl versionLabel_;
  CLabelCtrl webLink_;
};

}  // namespace vantrel
