#include "bar/win32/Win32BarHost.h"

#include "bar/win32/DibPresenter.h"
#include "resource.h"

namespace vantrel {
namespace {

// Posted by RequestTermination, from whatever thread.
constexpr UINT kTerminateMessage = WM_APP + 1;
// The low four bits of a system command are the system's own.
constexpr WPARAM kSysCommandMask = 0xFFF0;

// What the dialog does once it exists and before the bar starts: the About
// entry of the system menu, the window icons, and a title that the task
// switcher never shows (a tool window) but tools can find the window by.
void InitDialog(HWND window) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  if (HMENU systemMenu = GetSystemMenu(window, FALSE)) {
    wchar_t about[128];
    if (LoadStringW(instance, IDS_SYSMENU_ABOUT, about, static_cast<int>(std::size(about))) > 0) {
      AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(systemMenu, MF_STRING, ID_SYS_ABOUT, about);
    }
  }
  if (HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON))) {
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  SetWindowTextW(window, L"VantRel");
}

}  // namespace

std::unique_ptr<Win32BarHost> Win32BarHost::Create(HINSTANCE instance) {
  HWND window =
      CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_TRAFFICBAR_DIALOG), nullptr, &DialogProc, 0);
  if (window == nullptr) return nullptr;
  std::unique_ptr<Win32BarHost> host(new Win32BarHost(window));
  SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(host.get()));
  return host;
}

Win32BarHost::Win32BarHost(HWND window) : window_(window), appBar_(window) {}

Win32BarHost::~Win32BarHost() {
  SetWindowLongPtrW(window_, DWLP_USER, 0);
  DestroyWindow(window_);
}

int Win32BarHost::Dpi() const {
  // GetDpiForWindow came with Windows 10 1607; before it, the screen's.
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  UINT dpi = 0;
  if (dpiForWindow != nullptr) {
    dpi = dpiForWindow(window_);
  } else if (HDC screen = GetDC(nullptr)) {
    dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
  }
  return dpi >= 24 && dpi <= 960 ? static_cast<int>(dpi) : kDefaultFontDpi;
}

void Win32BarHost::Attach(BarController& controller, PixelBufferCanvas& canvas) {
  controller_ = &controller;
  canvas_ = &canvas;
  canvas.SetFontDpi(Dpi());
  canvas.SetPresenter(this);
  UpdateClientSize();
}

void Win32BarHost::UpdateClientSize() {
  RECT client{};
  if (canvas_ != nullptr && GetClientRect(window_, &client)) {
    canvas_->SetClientSize({client.right - client.left, client.bottom - client.top});
  }
}

int Win32BarHost::Run() {
  MSG message;
  while (!ended_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) return 1;
    // The dialog manager turns Enter into IDOK and Esc into IDCANCEL.
    if (IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return result_;
}

void Win32BarHost::RequestTermination() {
  PostMessageW(window_, kTerminateMessage, 0, 0);
}

BarRect Win32BarHost::WindowRect() {
  RECT rc{};
  GetWindowRect(window_, &rc);
  return {rc.left, rc.top, rc.right, rc.bottom};
}

BarRect Win32BarHost::DesktopRect() {
  RECT rc{};
  GetWindowRect(GetDesktopWindow(), &rc);
  return {rc.left, rc.top, rc.right, rc.bottom};
}

void Win32BarHost::PlaceTopmost(const BarRect& rc) {
  SetWindowPos(window_, HWND_TOPMOST, rc.left, rc.top, rc.Width(), rc.Height(), SWP_SHOWWINDOW);
  UpdateClientSize();
}

void Win32BarHost::Hide() {
  ShowWindow(window_, SW_HIDE);
}

void Win32BarHost::Repaint() {
  if (controller_ != nullptr) controller_->OnPaint();
}

void Win32BarHost::StartTimer(int milliseconds) {
  SetTimer(window_, kSampleTimerId, static_cast<UINT>(milliseconds), nullptr);
}

void Win32BarHost::StopTimer() {
  KillTimer(window_, kSampleTimerId);
}

void Win32BarHost::EndRun(int result) {
  ended_ = true;
  result_ = result;
  // Wakes the loop, which then ends without taking the message.
  PostMessageW(window_, WM_NULL, 0, 0);
}

void Win32BarHost::Present(const SurfaceView& surface, const PixelRect& area) {
  if (paintDc_ != nullptr) {
    PresentSurface(paintDc_, surface, area);
    return;
  }
  if (!IsWindowVisible(window_)) return;
  if (HDC dc = GetDC(window_)) {
    PresentSurface(dc, surface, area);
    ReleaseDC(window_, dc);
  }
}

INT_PTR CALLBACK Win32BarHost::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    InitDialog(window);
    return TRUE;
  }
  auto* host = reinterpret_cast<Win32BarHost*>(GetWindowLongPtrW(window, DWLP_USER));
  if (host == nullptr || host->controller_ == nullptr) return FALSE;
  return host->Handle(message, wParam, lParam) ? TRUE : FALSE;
}

bool Win32BarHost::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  BarController& bar = *controller_;
  switch (message) {
    case WM_TIMER:
      bar.OnTimer(static_cast<int>(wParam));
      return true;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      paintDc_ = BeginPaint(window_, &paint);
      bar.OnPaint();
      EndPaint(window_, &paint);
      paintDc_ = nullptr;
      return true;
    }
    case WM_SIZE:
      UpdateClientSize();
      return false;
    case WM_RBUTTONDOWN: {
      // The menu opens where the pointer is now, not where it was pressed.
      POINT at{};
      GetCursorPos(&at);
      bar.OnContextMenu({at.x, at.y});
      return true;
    }
    case WM_KEYDOWN:
      // Where the dialog manager did not take the key first.
      if (wParam == VK_RETURN) bar.OnCommand(ID_BAR_OK);
      if (wParam == VK_ESCAPE) bar.OnCommand(ID_BAR_CANCEL);
      return wParam == VK_RETURN || wParam == VK_ESCAPE;
    case WM_COMMAND:
      bar.OnCommand(LOWORD(wParam));
      return true;
    case WM_CLOSE:
      // Alt-F4 or another program's close request: Cancel.
      bar.OnCommand(ID_BAR_CANCEL);
      return true;
    case WM_SYSCOMMAND:
      if ((wParam & kSysCommandMask) != ID_SYS_ABOUT) return false;
      bar.OnCommand(ID_MENU_ABOUT);
      return true;
    case WM_DISPLAYCHANGE:
      bar.OnDisplayChange();
      return false;
    case WM_DPICHANGED:
      // The text follows the new resolution; the thickness stays.
      if (canvas_ != nullptr) canvas_->SetFontDpi(HIWORD(wParam));
      bar.OnDisplayChange();
      return true;
    case WM_QUERYENDSESSION:
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
      return true;
    case WM_ENDSESSION:
      // The session ends: the bar closes as after Close, settings saved.
      if (wParam) bar.OnTerminate();
      return true;
    case kTerminateMessage:
      bar.OnTerminate();
      return true;
    case kNetworkChangeMessage:
      bar.OnNetworkChange(wParam != 0, true);
      return true;
    default:
      // Another bar or the task bar moved, came or went: the bar asks for
      // its strip again, and moves only where that strip differs. The
      // shell's other notifications change nothing.
      (void)lParam;
      if (message != appBar_.CallbackMessage() || wParam != ABN_POSCHANGED) return false;
      bar.OnNeighboursChanged();
      return true;
  }
}

}  // namespace vantrel
