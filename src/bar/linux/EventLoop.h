#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

struct pollfd;

namespace vantrel {

// The bar's event loop on a POSIX system: file descriptors to watch, one
// periodic timer (a timerfd, so a tick costs exactly one wakeup) and the
// signals that ask the program to end. Single-threaded; callbacks run from
// Run or RunUntil and may add or remove watches, and nest RunUntil.
class EventLoop {
 public:
  using Callback = std::function<void()>;

  EventLoop();
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // Calls `onReady` whenever `fd` is readable or has hung up. One callback
  // per descriptor; watching it again replaces the callback.
  void Watch(int fd, Callback onReady);
  void Unwatch(int fd);

  // Calls `onTick` every `milliseconds`, the first time one period from now.
  // Starting again restarts the period.
  void StartTimer(int milliseconds, Callback onTick);
  void StopTimer();

  // Calls `onTerminate` from the loop when the process receives SIGTERM,
  // SIGINT or SIGHUP; the handler itself only writes to a pipe. The previous
  // handlers come back when the loop is destroyed.
  void WatchTermination(Callback onTerminate);

  // Runs until Quit; returns Quit's code.
  int Run();
  // Runs until `done` returns true or Quit is called; `done` is asked after
  // each round of callbacks. For a modal step inside a callback.
  void RunUntil(const std::function<bool()>& done);
  void Quit(int code);
  bool QuitRequested() const { return quit_; }

 private:
  struct Watched {
    int fd;
    std::shared_ptr<Callback> onReady;  // shared: a callback may unwatch itself
  };
  void RunOnce(int timeoutMs);

  std::vector<Watched> watches_;
  // One poll set per nesting depth, reused: a round allocates nothing.
  std::deque<std::vector<struct pollfd>> polled_;  // growing keeps references
  std::size_t depth_ = 0;
  int timerFd_ = -1;
  std::shared_ptr<Callback> onTick_;  // shared: a tick may stop the timer
  int signalPipe_[2] = {-1, -1};
  bool watchingSignals_ = false;
  bool quit_ = false;
  int code_ = 0;
};

}  // namespace vantrel
