#pragma once

#include <errno.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace vantrel::testing {

// A network namespace of its own, made with the object. The namespace, and
// every link in it, goes away with the object, so a test cleans up even when
// it fails half way. Tasks run in it on threads that join it: sockets opened
// there (and commands started there) belong to the namespace.
class NamespaceThread {
 public:
  NamespaceThread() {
    std::thread([this] {
      if (unshare(CLONE_NEWNET) == 0) fd_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
      error_ = fd_ < 0 ? errno : 0;
    }).join();
  }
  ~NamespaceThread() {
    if (fd_ >= 0) close(fd_);
  }
  NamespaceThread(const NamespaceThread&) = delete;
  NamespaceThread& operator=(const NamespaceThread&) = delete;

  // 0 when the namespace was made, otherwise the errno of unshare().
  int Error() const { return error_; }

  // The namespace's file, for `ip link ... netns PATH` or `nsenter --net=PATH`.
  std::string NamespacePath() const {
    return "/proc/" + std::to_string(getpid()) + "/fd/" + std::to_string(fd_);
  }

  // Runs `task` in the namespace and waits until it is done. Without a
  // namespace of its own nothing runs, so that a test can never change the
  // links of the namespace it was started in.
  void Run(const std::function<void()>& task) {
    if (fd_ < 0) return;
    std::thread([&] {
      if (setns(fd_, CLONE_NEWNET) == 0) task();
    }).join();
  }

  // Turns IPv6 off and brings loopback up, so that the links carry nothing
  // but a test's own datagrams; returns the exit status.
  int Quiet() {
    return Shell(
        "! [ -d /proc/sys/net/ipv6 ] || { echo 1 > /proc/sys/net/ipv6/conf/all/disable_ipv6 && "
        "echo 1 > /proc/sys/net/ipv6/conf/default/disable_ipv6; } && ip link set lo up");
  }

  // Runs a shell command inside the namespace; returns its exit status.
  int Shell(const std::string& command) {
    int status = -1;
    Run([&] { status = std::system(command.c_str()); });
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace vantrel::testing
