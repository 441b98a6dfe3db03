#include "controls/win32/CAboutBox.h"

#include "controls/win32/AboutBox.h"
#include "controls/win32/DialogPlacement.h"
#include "resource.h"

namespace vantrel {

CAboutBox::CAboutBox(CLabelCtrl::LinkOpener opener) : versionLabel_(opener), webLink_(opener) {}

INT_PTR CAboutBox::DoModal(HWND owner) {
  owner_ = owner;
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, &DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

void CAboutBox::OnInitDialog(HWND dialog) {
  versionLabel_.Attach(GetDlgItem(dialog, IDC_VERSION_LABEL));
  webLink_.Attach(GetDlgItem(dialog, IDC_WEB_LINK));
  const HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LINK_CURSOR));
  versionLabel_.EnableBold(true);
  webLink_.EnableHyperlink(true).SetHoverCursor(hand).SetCaptionColor(RGB(0, 0, 255)).EnableUnderline(true);
  PlaceOverOwner(dialog, owner_);
}

INT_PTR CALLBACK CAboutBox::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<CAboutBox*>(lParam)->OnInitDialog(dialog);
    return TRUE;  // the focus goes to OK
  }
  INT_PTR brush = 0;
  if (CLabelCtrl::ReflectCtlColor(message, wParam, lParam, brush)) return brush;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

void ShowAboutBox(HWND owner) {
  CAboutBox box;
  box.DoModal(owner);
}

}  // namespace vantrel
