#pragma once

#include <errno.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vantrel::testing {

// A thread in a network namespace of its own, made when the thread starts.
// The namespace, and every link in it, goes away when the thread ends, so a
// test cleans up even when it fails half way. Sockets opened on the thread
// (and commands it runs) belong to the namespace.
class NamespaceThread {
 public:
  NamespaceThread() {
    thread_ = std::thread([this] { Loop(); });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return started_; });
  }

  ~NamespaceThread() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  NamespaceThread(const NamespaceThread&) = delete;
  NamespaceThread& operator=(const NamespaceThread&) = delete;

  // 0 when the namespace was made, otherwise the errno of unshare().
  int Error() const { return error_; }

  // The namespace's file, for `ip link ... netns PATH`.
  std::string NamespacePath() const {
    return "/proc/" + std::to_string(getpid()) + "/task/" + std::to_string(tid_) + "/ns/net";
  }

  // Runs `task` on the thread and waits until it is done. Without a
  // namespace of its own the thread runs nothing, so that a test can never
  // change the links of the namespace it was started in.
  void Run(const std::function<void()>& task) {
    if (error_ != 0) return;
    std::unique_lock lock(mutex_);
    task_ = &task;
    changed_.notify_all();
    changed_.wait(lock, [this] { return task_ == nullptr; });
  }

  // Runs a shell command inside the namespace; returns its exit status.
  int Shell(const std::string& command) {
    int status = -1;
    Run([&] { status = std::system(command.c_str()); });
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  void Loop() {
    std::unique_lock lock(mutex_);
    error_ = unshare(CLONE_NEWNET) == 0 ? 0 : errno;
    tid_ = gettid();
    started_ = true;
    changed_.notify_all();
    for (;;) {
      changed_.wait(lock, [this] { return stopping_ || task_ != nullptr; });
      if (task_ != nullptr) {
        (*task_)();
        task_ = nullptr;
        changed_.notify_all();
      } else {
        return;
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* task_ = nullptr;
  bool started_ = false;
  bool stopping_ = false;
  int error_ = 0;
  pid_t tid_ = 0;
  std::thread thread_;
};

}  // namespace vantrel::testing
