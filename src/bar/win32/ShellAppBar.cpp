#include "bar/win32/ShellAppBar.h"

namespace vantrel {
namespace {

// The shell's edge for a dock edge: the top for Top, the bottom otherwise.
UINT ShellEdge(DockEdge edge) {
  return edge == DockEdge::Top ? ABE_TOP : ABE_BOTTOM;
}

}  // namespace

ShellAppBar::ShellAppBar(HWND window, MessageFunction send)
    : window_(window), callbackMessage_(RegisterWindowMessageW(L"Vantrel callback")), send_(send) {}

APPBARDATA ShellAppBar::Record() const {
  APPBARDATA data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  return data;
}

void ShellAppBar::New() {
  APPBARDATA data = Record();
  data.uCallbackMessage = callbackMessage_;
  send_(ABM_NEW, &data);
}

void ShellAppBar::SetAutoHideBar(DockEdge edge, bool autoHide) {
  APPBARDATA data = Record();
  data.uEdge = ShellEdge(edge);
  data.lParam = autoHide ? TRUE : FALSE;
  send_(ABM_SETAUTOHIDEBAR, &data);
}

void ShellAppBar::QueryPos(DockEdge edge, BarRect& rc) {
  Negotiate(ABM_QUERYPOS, edge, rc);
}

void ShellAppBar::SetPos(DockEdge edge, BarRect& rc) {
  Negotiate(ABM_SETPOS, edge, rc);
}

void ShellAppBar::Negotiate(DWORD message, DockEdge edge, BarRect& rc) {
  APPBARDATA data = Record();
  data.uEdge = ShellEdge(edge);
  data.rc = RECT{rc.left, rc.top, rc.right, rc.bottom};
  send_(message, &data);
  rc = BarRect{data.rc.left, data.rc.top, data.rc.right, data.rc.bottom};
}

void ShellAppBar::Remove() {
  APPBARDATA data = Record();
  send_(ABM_REMOVE, &data);
}

}  // namespace vantrel
