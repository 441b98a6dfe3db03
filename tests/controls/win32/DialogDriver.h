#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vantrel::testing {

// Drives a modal dialog of this thread: once a dialog with `caption` is up,
// `script` gets its window from inside the dialog's own message loop (a
// thread timer), and must end it.
inline void WhenDialogOpens(const std::wstring& caption, std::function<void(HWND)> script) {
  static std::wstring wanted;
  static std::function<void(HWND)> pending;
  wanted = caption;
  pending = std::move(script);
  SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR timer, DWORD) {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) {
          wchar_t text[64] = {};
          GetWindowTextW(window, text, 64);
          if (wanted != text) return TRUE;
          *reinterpret_cast<HWND*>(result) = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (found == nullptr) return;
    KillTimer(nullptr, timer);
    std::function<void(HWND)> script = std::move(pending);
    pending = nullptr;
    script(found);
  });
}

// Pushes a dialog's button as a user would (the dialog gets its command).
inline void Press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// What a label answers the colour query of its control with.
struct LabelLook {
  COLORREF fill = 0;
  COLORREF text = 0;
  LONG weight = 0;
  bool underline = false;
  bool transparent = false;
};

inline LabelLook LookOf(HWND dialog, int id) {
  LabelLook look;
  const HDC dc = CreateCompatibleDC(nullptr);
  const auto brush =
      reinterpret_cast<HBRUSH>(SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                            reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))));
  LOGBRUSH fill{};
  if (brush != nullptr && GetObjectW(brush, sizeof(fill), &fill) == sizeof(fill)) look.fill = fill.lbColor;
  LOGFONTW font{};
  GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
  look.text = GetTextColor(dc);
  look.weight = font.lfWeight;
  look.underline = font.lfUnderline != 0;
  look.transparent = GetBkMode(dc) == TRANSPARENT;
  DeleteDC(dc);
  return look;
}

}  // namespace vantrel::testing
