#pragma once

#include <windows.h>

#include <shellapi.h>

#include "bar/AppBarService.h"

namespace vantrel {

// The Windows shell's application-bar service for one window, through
// SHAppBarMessage. Every message names the window; the shell's
// notifications come back to it as the window message registered under
// "Vantrel callback". The shell's replies and results are not examined:
// the rectangle it leaves is the one the bar takes.
class ShellAppBar final : public AppBarService {
 public:
  // SHAppBarMessage, or a stand-in of the same shape.
  using MessageFunction = UINT_PTR(WINAPI*)(DWORD message, PAPPBARDATA data);

  explicit ShellAppBar(HWND window, MessageFunction send = &SHAppBarMessage);

  // The id of the window message the shell's notifications arrive as.
  UINT CallbackMessage() const { return callbackMessage_; }

  // ABM_NEW, with the callback message.
  void New() override;
  // ABM_SETAUTOHIDEBAR on the shell's edge: ABE_TOP for Top, else ABE_BOTTOM.
  void SetAutoHideBar(DockEdge edge, bool autoHide) override;
  // ABM_QUERYPOS and ABM_SETPOS, on the shell's edge.
  void QueryPos(DockEdge edge, BarRect& rc) override;
  void SetPos(DockEdge edge, BarRect& rc) override;
  // ABM_REMOVE, naming the window only.
  void Remove() override;

 private:
  // The record for one message: its size and the window; all else zero.
  APPBARDATA Record() const;
  // Sends `message` about `rc` on `edge` and takes over the rectangle the
  // shell leaves.
  void Negotiate(DWORD message, DockEdge edge, BarRect& rc);

  HWND window_;
  UINT callbackMessage_;
  MessageFunction send_;
};

}  // namespace vantrel
