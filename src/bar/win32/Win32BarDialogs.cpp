#include "bar/win32/Win32BarDialogs.h"

#include <string>

#include "controls/win32/AboutBox.h"
#include "controls/win32/ShellOpen.h"
#include "settings/win32/OptionsDialog.h"
#include "traffic/win32/WideText.h"

namespace vantrel {
namespace {

// The class of the windows the dialog manager makes, message boxes included.
constexpr wchar_t kDialogClass[] = L"#32770";

struct MenuHandle {
  HMENU menu;
  ~MenuHandle() { DestroyMenu(menu); }
};

}  // namespace

int Win32BarDialogs::TrackMenu(ScreenPoint at, std::span<const MenuItem> items) {
  const MenuHandle popup{CreatePopupMenu()};
  if (popup.menu == nullptr) return 0;
  for (const MenuItem& item : items) {
    if (item.command == 0) {
      AppendMenuW(popup.menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuW(popup.menu, MF_STRING, static_cast<UINT_PTR>(item.command), WideFromUtf8(item.text).c_str());
  }
  // The owner must be the foreground window for the menu to close when the
  // user clicks elsewhere.
  SetForegroundWindow(owner_);
  const BOOL chosen =
      TrackPopupMenu(popup.menu, TPM_RIGHTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y,
                     0, owner_, nullptr);
  PostMessageW(owner_, WM_NULL, 0, 0);
  return static_cast<int>(chosen);
}

bool Win32BarDialogs::RunOptions(BarSettings& settings) {
  return RunOptionsDialog(owner_, settings, adapters_);
}

void Win32BarDialogs::RunAbout() {
  ShowAboutBox(owner_);
}

void Win32BarDialogs::OpenFile(const std::string& path) {
  ShellOpen(WideFromUtf8(path));
}

void Win32BarDialogs::CancelAll() {
  EndMenu();
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM owner) -> BOOL {
        wchar_t name[16];
        if (window != reinterpret_cast<HWND>(owner) &&
            GetAncestor(window, GA_ROOTOWNER) == reinterpret_cast<HWND>(owner) &&
            GetClassNameW(window, name, static_cast<int>(std::size(name))) > 0 &&
            std::wstring_view(name) == kDialogClass) {
          EndDialog(window, IDCANCEL);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(owner_));
}

}  // namespace vantrel
