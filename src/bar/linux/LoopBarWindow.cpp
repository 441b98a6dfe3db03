#include "bar/linux/LoopBarWindow.h"

namespace vantrel {

void LoopBarWindow::Repaint() {
  if (controller_ != nullptr) controller_->OnPaint();
}

void LoopBarWindow::StartTimer(int milliseconds) {
  loop_.StartTimer(milliseconds, [this] {
    if (controller_ == nullptr) return;
    BeforeTick();
    if (displayChanged_) {
      displayChanged_ = false;
      controller_->OnDisplayChange();
    }
    controller_->OnTimer(kSampleTimerId);
  });
}

void LoopBarWindow::StopTimer() {
  loop_.StopTimer();
}

void LoopBarWindow::EndRun(int result) {
  loop_.Quit(result);
}

}  // namespace vantrel
