#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace vantrel {

// Calls `onTerminate` from the event loop when the process receives SIGTERM,
// SIGINT or SIGHUP. The signal handler only writes to a pipe; the work runs
// on the user-interface thread. One watcher at a time; it restores the
// previous handlers when destroyed.
class TerminationWatcher {
 public:
  explicit TerminationWatcher(std::function<void()> onTerminate);
  ~TerminationWatcher();

  TerminationWatcher(const TerminationWatcher&) = delete;
  TerminationWatcher& operator=(const TerminationWatcher&) = delete;

 private:
  std::function<void()> onTerminate_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vantrel
