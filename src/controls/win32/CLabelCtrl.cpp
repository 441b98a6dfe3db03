#include "controls/win32/CLabelCtrl.h"

#include <commctrl.h>

#include "controls/win32/ShellOpen.h"

namespace vantrel {
namespace {

// The subclass of every label; its reference data is the label, which the
// control's property also names, for its dialog to find.
constexpr UINT_PTR kSubclassId = 1;
constexpr const wchar_t* kLabelProperty = L"VantRel.CLabelCtrl";

}  // namespace

CLabelCtrl::CLabelCtrl(LinkOpener opener)
    : textColor_(GetSysColor(COLOR_WINDOWTEXT)),
      fillBrush_(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))),
      opener_(opener != nullptr ? opener : &ShellOpen) {
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont_), &logFont_);
  drawFont_ = CreateFontIndirectW(&logFont_);
}

CLabelCtrl::~CLabelCtrl() {
  Detach();
  if (drawFont_ != nullptr) DeleteObject(drawFont_);
  if (fillBrush_ != nullptr) DeleteObject(fillBrush_);
}

void CLabelCtrl::Attach(HWND control) {
  Detach();
  if (control != nullptr &&
      SetWindowSubclass(control, &SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    control_ = control;
    SetPropW(control_, kLabelProperty, this);
  }
}

void CLabelCtrl::Detach() {
  if (control_ == nullptr) return;
  RemovePropW(control_, kLabelProperty);
  RemoveWindowSubclass(control_, &SubclassProc, kSubclassId);
  control_ = nullptr;
}

CLabelCtrl& CLabelCtrl::SetFillColor(COLORREF color) {
  if (fillBrush_ != nullptr) DeleteObject(fillBrush_);
  fillBrush_ = CreateSolidBrush(color);
  return *this;
}

CLabelCtrl& CLabelCtrl::SetCaptionColor(COLORREF color) {
  textColor_ = color;
  Repaint();
  return *this;
}

CLabelCtrl& CLabelCtrl::EnableBold(bool bold) {
  logFont_.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  RebuildFont();
  Repaint();
  return *this;
}

CLabelCtrl& CLabelCtrl::EnableUnderline(bool underline) {
  logFont_.lfUnderline = underline ? TRUE : FALSE;
  RebuildFont();
  Repaint();
  return *this;
}

CLabelCtrl& CLabelCtrl::EnableHyperlink(bool link) {
  linkEnabled_ = link;
  if (control_ != nullptr) {
    const LONG_PTR style = GetWindowLongPtrW(control_, GWL_STYLE);
    SetWindowLongPtrW(control_, GWL_STYLE,
                      link ? style | SS_NOTIFY : style & ~static_cast<LONG_PTR>(SS_NOTIFY));
  }
  return *this;
}

CLabelCtrl& CLabelCtrl::SetHoverCursor(HCURSOR cursor) {
  hoverCursor_ = cursor;
  return *this;
}

CLabelCtrl& CLabelCtrl::SetCaption(const std::wstring& caption) {
  if (control_ != nullptr) SetWindowTextW(control_, caption.c_str());
  return *this;
}

HBRUSH CLabelCtrl::OnCtlColor(HDC dc) const {
  if (drawFont_ != nullptr) SelectObject(dc, drawFont_);
  SetTextColor(dc, textColor_);
  SetBkMode(dc, TRANSPARENT);
  return fillBrush_;
}

bool CLabelCtrl::ReflectCtlColor(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  if (message != WM_CTLCOLORSTATIC) return false;
  const auto* label =
      static_cast<const CLabelCtrl*>(GetPropW(reinterpret_cast<HWND>(lParam), kLabelProperty));
  if (label == nullptr) return false;
  const HBRUSH brush = label->OnCtlColor(reinterpret_cast<HDC>(wParam));
  // A label without a brush leaves the query to the dialog.
  if (brush == nullptr) return false;
  result = reinterpret_cast<INT_PTR>(brush);
  return true;
}

void CLabelCtrl::RebuildFont() {
  const HFONT font = CreateFontIndirectW(&logFont_);
  if (drawFont_ != nullptr) DeleteObject(drawFont_);
  drawFont_ = font;
}

void CLabelCtrl::Repaint() const {
  if (control_ != nullptr)
    RedrawWindow(control_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT CALLBACK CLabelCtrl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self) {
  auto* label = reinterpret_cast<CLabelCtrl*>(self);
  switch (message) {
    case WM_SETCURSOR:
      if (label->hoverCursor_ != nullptr) {
        SetCursor(label->hoverCursor_);
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
      if (label->linkEnabled_) {
        // The target is whatever the label shows at this moment.
        const int length = GetWindowTextLengthW(window);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
        label->opener_(text);
      }
      break;  // and on to the control, which tells its dialog of the click
    case WM_NCDESTROY:
      label->Detach();
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace vantrel
