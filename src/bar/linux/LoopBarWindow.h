#pragma once

#include "bar/BarController.h"
#include "bar/linux/EventLoop.h"

namespace vantrel {

// What every bar host on the POSIX event loop does alike: the window's
// rectangle as last placed, the tick from the loop's timer, repaints answered at once, the run ended through
// the loop, and screen changes gathered between ticks so that the bar re-docks once per change, however many
// events the change took.
class LoopBarWindow : public BarWindow {
 public:
  // Where the window was last placed (its size before docking until then).
  BarRect WindowRect() override { return rect_; }
  void Repaint() override;
  void StartTimer(int milliseconds) override;
  void StopTimer() override;
  void EndRun(int result) override;

 protected:
  explicit LoopBarWindow(EventLoop& loop) : loop_(loop) {}
  // The screen layout changed: the bar re-docks before the next tick.
  void NoteDisplayChange() { displayChanged_ = true; }
  // Called first on every tick, before the re-docking.
  virtual void BeforeTick() {}

  EventLoop& loop_;
  BarController* controller_ = nullptr;
  BarRect rect_;

 private:
  bool displayChanged_ = false;
};

}  // namespace vantrel
