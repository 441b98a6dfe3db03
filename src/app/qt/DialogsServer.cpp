#include "app/qt/DialogsServer.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <vector>

#include "app/qt/QtBarDialogs.h"

namespace vantrel {
namespace {

// A request longer than this is no request of the bar's.
constexpr std::size_t kMaxLine = 64 * 1024;

}  // namespace

DialogsServer::DialogsServer(QtBarDialogs& dialogs, int input, int output)
    : dialogs_(dialogs), input_(input), output_(output), notifier_(input, QSocketNotifier::Read) {
  connect(&notifier_, &QSocketNotifier::activated, this, &DialogsServer::OnReadable);
}

void DialogsServer::OnReadable() {
  char buffer[4096];
  ssize_t n;
  do {
    n = read(input_, buffer, sizeof buffer);
  } while (n < 0 && errno == EINTR);
  if (n < 0 && errno == EAGAIN) return;
  if (n <= 0) {
    EndInput();
    return;
  }
  received_.append(buffer, static_cast<std::size_t>(n));
  for (std::size_t end; (end = received_.find('\n')) != std::string::npos;) {
    const std::string line = received_.substr(0, end);
    received_.erase(0, end + 1);
    OnLine(line);
  }
  if (received_.size() > kMaxLine) EndInput();
}

void DialogsServer::OnLine(std::string_view line) {
  DialogRequest request = ParseRequest(line);
  if (std::holds_alternative<CancelRequest>(request)) {
    for (Pending& pending : queue_) pending.cancelled = true;
    if (running_) {
      runningCancelled_ = true;
      dialogs_.CancelAll();
    }
    return;
  }
  // A malformed line is answered too (as no answer at all), so the bar is
  // not left waiting.
  WriteLine(std::string(kReceivedLine) + '\n');
  queue_.push_back({std::move(request)});
  // Run from the event loop, not from inside this notification.
  QMetaObject::invokeMethod(
      this, [this] { RunQueued(); }, Qt::QueuedConnection);
}

void DialogsServer::RunQueued() {
  while (!running_ && !ended_ && !queue_.empty()) {
    Pending pending = std::move(queue_.front());
    queue_.pop_front();
    if (pending.cancelled) {
      Write(CancelledReplyTo(pending.request));
      continue;
    }
    running_ = true;
    runningCancelled_ = false;
    DialogReply reply = Run(pending.request);
    running_ = false;
    // What the user chose as the bar cancelled it does not count.
    if (runningCancelled_) reply = CancelledReplyTo(pending.request);
    Write(reply);
  }
  if (ended_) QCoreApplication::quit();
}

DialogReply DialogsServer::Run(const DialogRequest& request) {
  const auto barWindow = [this](const DialogOwner& owner) {
    const BarRect& r = owner.rect;
    dialogs_.SetBarWindow(QRect(r.left, r.top, r.Width(), r.Height()), static_cast<WId>(owner.window));
  };
  if (const auto* menu = std::get_if<MenuRequest>(&request)) {
    std::vector<MenuItem> items;
    for (const MenuEntry& entry : menu->items) items.push_back({entry.command, entry.text.c_str()});
    return MenuReply{dialogs_.TrackMenu(menu->at, items)};
  }
  if (const auto* options = std::get_if<OptionsRequest>(&request)) {
    barWindow(options->owner);
    BarSettings copy = options->settings;
    if (!dialogs_.RunOptions(copy)) return OptionsReply{};
    return OptionsReply{std::move(copy)};
  }
  if (const auto* about = std::get_if<AboutRequest>(&request)) {
    barWindow(about->owner);
    dialogs_.RunAbout();
    return AboutReply{};
  }
  if (const auto* open = std::get_if<OpenRequest>(&request)) {
    dialogs_.OpenFile(open->path);
    return OpenReply{};
  }
  return {};
}

void DialogsServer::Write(const DialogReply& reply) {
  WriteLine(EncodeReply(reply));
}

void DialogsServer::WriteLine(const std::string& line) {
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = write(output_, line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the bar has gone; the end of the input follows
    written += static_cast<std::size_t>(n);
  }
}

void DialogsServer::EndInput() {
  if (ended_) return;
  ended_ = true;
  notifier_.setEnabled(false);
  for (Pending& pending : queue_) pending.cancelled = true;
  if (running_) {
    dialogs_.CancelAll();
  } else {
    QCoreApplication::quit();
  }
}

}  // namespace vantrel
