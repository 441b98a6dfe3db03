#include "bar/linux/DialogsProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
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
                               std::vector<std::string> programs)
    : loop_(loop), owner_(std::move(owner)), programs_(std::move(programs)) {}

DialogsProcess::~DialogsProcess() {
  Stop();
  // The helper ends when it reads the end of its input; one that does not
  // is not left behind.
  const auto deadline = std::chrono::steady_clock::now() + kEndGrace;
  while (!exited_.empty() && std::chrono::steady_clock::now() < deadline) {
    Reap(false);
    if (!exited_.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  for (const pid_t pid : exited_) kill(pid, SIGKILL);
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
  if (waiting_ && !Send(EncodeRequest(CancelRequest{}))) Stop();
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
  loop_.RunUntil([this] { return reply_.has_value() || socket_ < 0; });
  waiting_ = false;
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
  if (program == programs_.end()) return false;

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
    // A line while no request waits answers nothing and is dropped.
    if (waiting_ && !reply_) reply_ = received_.substr(0, end);
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
  if (pid_ > 0) exited_.push_back(pid_);
  pid_ = -1;
  Reap(false);
}

void DialogsProcess::Reap(bool wait) {
  std::erase_if(exited_, [wait](pid_t pid) {
    int status = 0;
    pid_t result;
    do {
      result = waitpid(pid, &status, wait ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    return result != 0;  // ended, or not ours to wait for
  });
}

}  // namespace vantrel
