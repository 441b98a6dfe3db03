#include "bar/linux/LoopBarWindow.h"

namespace vantrel {

void LoopBarWindow::Repaint() {
  if (controller_ != nullptr) controller_->OnPaint();
}

void LoopBarWindow::StartTimer(int milliseconds) {
  loop_.StartTimer(milliseconds, [this] {
    if (controller_ == nullptr) return;
    BeforeTick();
    ++ticksSinceFollow_;
    if (displayChanged_) {
      displayChanged_ = false;
      neighboursChanged_ = false;
      controller_->OnDisplayChange();
    } else if (neighboursChanged_ && ticksSinceFollow_ >= kTicksBetweenFollows) {
      neighboursChanged_ = false;
      ticksSinceFollow_ = 0;
      controller_->OnNeighboursChanged();
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
