#pragma once

#include "bar/BarController.h"
#include "bar/linux/EventLoop.h"

namespace vantrel {

// What every bar host on the POSIX event loop does alike: the tick from the
// loop's timer, repaints answered at once, the run ended through the loop,
// and screen changes gathered between ticks so that the bar re-docks once
// per change, however many events the change took.
class LoopBarWindow : public BarWindow {
 public:
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

 private:
  bool displayChanged_ = false;
};

}  // namespace vantrel
