#pragma once

#include <windows.h>

#include <string>

namespace vantrel {

// A static control of a dialog whose text colour, fill colour and font the
// program sets at run time, and which can act as a link that opens its own
// text through the shell when pressed. Used for the Options dialog's colour
// swatches and the About box's version line and web address.
//
// The label subclasses an existing static control (Attach). The control
// still draws itself; the label answers the colour query it sends to its
// dialog before drawing, which the dialog passes on (ReflectCtlColor), and
// handles the mouse press and the cursor. Mouse messages reach a static
// control only when it has the style SS_NOTIFY.
class CLabelCtrl {
 public:
  // How a link is opened; the shell's "open" verb unless a test says otherwise.
  using LinkOpener = void (*)(const std::wstring& target);

  // The system's window text colour and button face colour (read once, here)
  // and the default GUI font.
  explicit CLabelCtrl(LinkOpener opener = nullptr);
  ~CLabelCtrl();
  CLabelCtrl(const CLabelCtrl&) = delete;
  CLabelCtrl& operator=(const CLabelCtrl&) = delete;

  // Takes over the static control `control` until it is destroyed.
  void Attach(HWND control);
  HWND Handle() const { return control_; }

  // The setters return the label so that calls can be chained; all but
  // SetFillColor and SetHoverCursor need the label attached.

  // The colour that fills the background; shows at the next paint.
  CLabelCtrl& SetFillColor(COLORREF color);
  // The colour of the text; repaints.
  CLabelCtrl& SetCaptionColor(COLORREF color);
  // Bold or normal weight, keeping the underline; repaints.
  CLabelCtrl& EnableBold(bool bold);
  // Underlined or not, keeping the weight; repaints.
  CLabelCtrl& EnableUnderline(bool underline);
  // Link mode: a press opens the text. Adds SS_NOTIFY, or removes it when
  // turned off, whatever the dialog template said.
  CLabelCtrl& EnableHyperlink(bool link);
  // The cursor over the label (not owned); null: the control's own.
  CLabelCtrl& SetHoverCursor(HCURSOR cursor);
  // Sets the text, which repaints the control, also when it is unchanged.
  CLabelCtrl& SetCaption(const std::wstring& caption);

  // The answer to the control's colour query: the label's font, text colour
  // and a transparent background selected into `dc`, and the fill brush.
  HBRUSH OnCtlColor(HDC dc) const;

  // For a dialog procedure: answers WM_CTLCOLORSTATIC when it comes from a
  // label; true then, with the brush in `result`.
  static bool ReflectCtlColor(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
  void RebuildFont();
  void Repaint() const;
  void Detach();

  COLORREF textColor_;
  HBRUSH fillBrush_;
  LOGFONTW logFont_{};
  HFONT drawFont_ = nullptr;
  bool linkEnabled_ = false;
  HCURSOR hoverCursor_ = nullptr;
  LinkOpener opener_;
  HWND control_ = nullptr;
};

}  // namespace vantrel
