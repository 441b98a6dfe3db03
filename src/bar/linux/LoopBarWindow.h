#pragma once

#include "bar/BarController.h"
#include "bar/linux/EventLoop.h"

namespace vantrel {

// What every bar host on the POSIX event loop does alike: the window's
// rectangle as last placed, the tick from the loop's timer, repaints answered at once, the run ended through
// the loop, and screen and neighbour changes gathered between ticks so that the bar re-docks once per change,
// however many events the change took.
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
  // A bar or panel beside the bar changed: the bar follows it before a
  // coming tick, at most once in kTicksBetweenFollows ticks, so that a
  // neighbour that answers each move with another cannot keep it busy. A
  // re-docking for a display change covers it.
  void NoteNeighboursChanged() { neighboursChanged_ = true; }
  static constexpr int kTicksBetweenFollows = 2;
  // Called first on every tick, before the re-docking.
  virtual void BeforeTick() {}

  EventLoop& loop_;
  BarController* controller_ = nullptr;
  BarRect rect_;

 private:
  bool displayChanged_ = false;
  bool neighboursChanged_ = false;
  int ticksSinceFollow_ = 0;
};

}  // namespace vantrel
