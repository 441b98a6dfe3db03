#include "bar/linux/DialogsProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/timerfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "bar/linux/EventLoop.h"

extern char** environ;

namespace vantrel {
namespace {

// A line longer than this is no answer of the helper's.
constexpr std::size_t kMaxLine = 64 * 1024;

// How long a helper may take to end once its input is closed.
constexpr auto kEndGrace = std::chrono::milliseconds(500);

std::string ExecutableFolder() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.parent_path().string();
}

}  // namespace

std::vector<std::string> DialogsHelperPlaces() {
  std::vector<std::string> places;
  if (const std::string beside = ExecutableFolder(); !beside.empty()) {
    places.push_back(beside + '/' + kDialogsHelperName);
  }
  places.push_back(std::string(VANTREL_LIBEXEC_DIR "/") + kDialogsHelperName);
  return places;
}

DialogsProcess::DialogsProcess(EventLoop& loop, std::function<DialogOwner()> owner,
                               std::vector<std::string> programs, DialogsLimits limits)
    : loop_(loop),
      owner_(std::move(owner)),
      programs_(std::move(programs)),
      limits_(limits),
      alarm_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {}

DialogsProcess::~DialogsProcess() {
  Stop();
  Disarm();
  if (alarm_ >= 0) close(alarm_);
  // The helper ends when it reads the end of its input; one that does not
  // is not left behind.
  const auto deadline = std::chrono::steady_clock::now() + kEndGrace;
  while (!children_.empty() && std::chrono::steady_clock::now() < deadline) {
    Reap(false);
    if (!children_.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  for (const Child& child : children_) kill(child.pid, SIGKILL);
  Reap(true);
}

int DialogsProcess::TrackMenu(ScreenPoint at, std::span<const MenuItem> items) {
  const DialogReply reply = Ask(MakeMenuRequest(at, items));
  const int command = std::get<MenuReply>(reply).command;
  // Only a command that was on the menu is carried out.
  const bool offered = std::any_of(items.begin(), items.end(),
                                   [command](const MenuItem& item) { return item.command == command; });
  return offered ? command : 0;
}

bool DialogsProcess::RunOptions(BarSettings& settings) {
  const DialogReply reply = Ask(OptionsRequest{owner_(), settings});
  const auto& edited = std::get<OptionsReply>(reply).settings;
  if (!edited) return false;
  settings = *edited;
  return true;
}

void DialogsProcess::RunAbout() {
  Ask(AboutRequest{owner_()});
}

void DialogsProcess::OpenFile(const std::string& path) {
  Ask(OpenRequest{path});
}

void DialogsProcess::CancelAll() {
  // Cancelling again does not give the helper more time.
  if (!waiting_ || cancelled_) return;
  cancelled_ = true;
  if (Send(EncodeRequest(CancelRequest{}))) {
    Arm(limits_.cancelled);
  } else {
    Stop();
  }
}

DialogReply DialogsProcess::Ask(const DialogRequest& request) {
  // One request at a time: the bar is clicked while a dialog is open.
  if (waiting_) return CancelledReplyTo(request);
  if (socket_ < 0 && !Start()) return CancelledReplyTo(request);
  reply_.reset();
  if (!Send(EncodeRequest(request))) {
    Stop();
    return CancelledReplyTo(request);
  }
  waiting_ = true;
  cancelled_ = false;
  Arm(limits_.received);
  loop_.RunUntil([this] { return reply_.has_value() || socket_ < 0; });
  waiting_ = false;
  Disarm();
  if (!reply_) {
    // The helper died, or the loop was told to quit: an answer that came
    // later would be taken for the next request's.
    Stop();
    return CancelledReplyTo(request);
  }
  const DialogReply reply = ParseReply(*reply_);
  reply_.reset();
  return Answers(reply, request) ? reply : CancelledReplyTo(request);
}

bool DialogsProcess::Start() {
  Reap(false);
  const auto program = std::find_if(programs_.begin(), programs_.end(),
                                    [](const std::string& path) { return access(path.c_str(), X_OK) == 0; });
  if (program == programs_.end()) {
    if (!toldMissing_) {
      std::string places;
      for (const std::string& place : programs_) places += (places.empty() ? "" : ", ") + place;
      std::fprintf(stderr, "vantrel: no menu or dialogs: %s is in none of these places: %s\n",
                   kDialogsHelperName, places.c_str());
      toldMissing_ = true;
    }
    return false;
  }

  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return false;
  // The helper gets its end of the pair as its input and output, and keeps
  // only the standard error of the bar's other descriptors.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  // Signals the bar ignores or blocks are the helper's own to handle.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (const int signal : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGCHLD}) sigaddset(&defaults, signal);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  std::string path = *program;
  char* argv[] = {path.data(), nullptr};
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(ends[1]);
  if (failed != 0) {
    close(ends[0]);
    return false;
  }
  fcntl(ends[0], F_SETFL, fcntl(ends[0], F_GETFL) | O_NONBLOCK);
  socket_ = ends[0];
  pid_ = pid;
  // Reaped the moment it ends, not at the next start.
  const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  children_.push_back({pid, pidFd});
  if (pidFd >= 0) {
    loop_.Watch(pidFd, [this, pid] {
      if (pid == pid_) {
        OnReadable();  // what it wrote before it ended still counts
        if (pid == pid_) Stop();
      }
      Reap(false);
    });
  }
  received_.clear();
  loop_.Watch(socket_, [this] { OnReadable(); });
  return true;
}

bool DialogsProcess::Send(const std::string& line) {
  if (socket_ < 0) return false;
  std::size_t sent = 0;
  while (sent < line.size()) {
    // MSG_NOSIGNAL: a helper that is gone makes the call fail, and no
    // SIGPIPE ends the bar.
    const ssize_t n = send(socket_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

void DialogsProcess::OnReadable() {
  char buffer[4096];
  bool gone = false;
  for (;;) {
    const ssize_t n = recv(socket_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    if (n <= 0) {  // the helper has gone; what it wrote before still counts
      gone = true;
      break;
    }
    received_.append(buffer, static_cast<std::size_t>(n));
  }
  for (std::size_t end; (end = received_.find('\n')) != std::string::npos;) {
    const std::string_view line(received_.data(), end);
    // A line while no request waits answers nothing and is dropped.
    if (line == kReceivedLine) {
      // The helper is alive; once cancelled it still has to answer in time.
      if (waiting_ && !reply_ && !cancelled_) Disarm();
    } else if (waiting_ && !reply_) {
      reply_ = line;
    }
    received_.erase(0, end + 1);
  }
  if (gone || received_.size() > kMaxLine) Stop();
}

void DialogsProcess::Stop() {
  if (socket_ < 0) return;
  loop_.Unwatch(socket_);
  close(socket_);
  socket_ = -1;
  received_.clear();
  pid_ = -1;
  Reap(false);
}

void DialogsProcess::GiveUp() {
  // A stopped helper takes no other signal.
  if (pid_ > 0) kill(pid_, SIGKILL);
  Stop();
}

void DialogsProcess::Arm(std::chrono::milliseconds limit) {
  if (alarm_ < 0) return;
  itimerspec due{};
  due.it_value.tv_sec = static_cast<time_t>(limit.count() / 1000);
  due.it_value.tv_nsec = static_cast<long>(limit.count() % 1000) * 1'000'000 + 1;
  timerfd_settime(alarm_, 0, &due, nullptr);
  loop_.Watch(alarm_, [this] {
    std::uint64_t expirations = 0;
    if (read(alarm_, &expirations, sizeof expirations) != sizeof expirations) return;
    Disarm();
    GiveUp();
  });
}

void DialogsProcess::Disarm() {
  if (alarm_ < 0) return;
  const itimerspec stopped{};
  timerfd_settime(alarm_, 0, &stopped, nullptr);
  loop_.Unwatch(alarm_);
}

void DialogsProcess::Reap(bool wait) {
  std::erase_if(children_, [this, wait](const Child& child) {
    if (child.pid == pid_) return false;  // still serving
    int status = 0;
    pid_t result;
    do {
      result = waitpid(child.pid, &status, wait ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == 0) return false;  // still running
    // Ended, or not ours to wait for.
    if (child.pidFd >= 0) {
      loop_.Unwatch(child.pidFd);
      close(child.pidFd);
    }
    return true;
  });
}

}  // namespace vantrel
