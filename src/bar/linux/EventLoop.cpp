#include "bar/linux/EventLoop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>

namespace vantrel {
namespace {

constexpr std::array<int, 3> kEndingSignals{SIGTERM, SIGINT, SIGHUP};
int g_signalWriteEnd = -1;
struct sigaction g_previous[kEndingSignals.size()];

void OnEndingSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const auto written = write(g_signalWriteEnd, &byte, 1);
  errno = saved;
}

void Drain(int fd) {
  char buffer[64];
  while (read(fd, buffer, sizeof buffer) > 0) {
  }
}

}  // namespace

EventLoop::EventLoop() {
  timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
}

EventLoop::~EventLoop() {
  if (watchingSignals_) {
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
      sigaction(kEndingSignals[i], &g_previous[i], nullptr);
    g_signalWriteEnd = -1;
  }
  for (int fd : signalPipe_) {
    if (fd >= 0) close(fd);
  }
  if (timerFd_ >= 0) close(timerFd_);
}

void EventLoop::Watch(int fd, Callback onReady) {
  auto callback = std::make_shared<Callback>(std::move(onReady));
  for (Watched& watch : watches_) {
    if (watch.fd == fd) {
      watch.onReady = std::move(callback);
      return;
    }
  }
  watches_.push_back({fd, std::move(callback)});
}

void EventLoop::Unwatch(int fd) {
  std::erase_if(watches_, [fd](const Watched& watch) { return watch.fd == fd; });
}

void EventLoop::StartTimer(int milliseconds, Callback onTick) {
  if (timerFd_ < 0) return;
  onTick_ = std::make_shared<Callback>(std::move(onTick));
  itimerspec period{};
  period.it_interval.tv_sec = milliseconds / 1000;
  period.it_interval.tv_nsec = static_cast<long>(milliseconds % 1000) * 1'000'000;
  period.it_value = period.it_interval;
  timerfd_settime(timerFd_, 0, &period, nullptr);
  Watch(timerFd_, [this] {
    std::uint64_t expirations = 0;
    // Ticks missed while the process stood still run once, not in a burst.
    // Held for the call: the tick may stop or restart the timer.
    const std::shared_ptr<Callback> onTick = onTick_;
    if (read(timerFd_, &expirations, sizeof expirations) == sizeof expirations && onTick) (*onTick)();
  });
}

void EventLoop::StopTimer() {
  if (timerFd_ < 0) return;
  const itimerspec stopped{};
  timerfd_settime(timerFd_, 0, &stopped, nullptr);
  Unwatch(timerFd_);
  Drain(timerFd_);
  onTick_.reset();
}

void EventLoop::WatchTermination(Callback onTerminate) {
  if (watchingSignals_ || pipe2(signalPipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  g_signalWriteEnd = signalPipe_[1];
  struct sigaction action {};
  action.sa_handler = OnEndingSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
    sigaction(kEndingSignals[i], &action, &g_previous[i]);
  watchingSignals_ = true;
  Watch(signalPipe_[0], [this, onTerminate = std::move(onTerminate)] {
    Drain(signalPipe_[0]);
    onTerminate();
  });
}

int EventLoop::Run() {
  RunUntil([] { return false; });
  return code_;
}

void EventLoop::RunUntil(const std::function<bool()>& done) {
  while (!quit_ && !done()) RunOnce(-1);
}

void EventLoop::Quit(int code) {
  quit_ = true;
  code_ = code;
}

void EventLoop::RunOnce(int timeoutMs) {
  if (polled_.size() <= depth_) polled_.resize(depth_ + 1);
  std::vector<pollfd>& polled = polled_[depth_];
  polled.clear();
  for (const Watched& watch : watches_) polled.push_back({watch.fd, POLLIN, 0});
  if (poll(polled.data(), polled.size(), timeoutMs) <= 0) return;
  ++depth_;
  struct Leave {
    std::size_t& depth;
    ~Leave() { --depth; }
  } leave{depth_};
  for (const pollfd& ready : polled) {
    if (ready.revents == 0) continue;
    // A callback may have removed or replaced watches: look the fd up again.
    const auto watch = std::find_if(watches_.begin(), watches_.end(),
                                    [&ready](const Watched& w) { return w.fd == ready.fd; });
    if (watch == watches_.end()) continue;
    const std::shared_ptr<Callback> onReady = watch->onReady;
    (*onReady)();
    if (quit_) return;
  }
}

}  // namespace vantrel
