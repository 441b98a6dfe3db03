#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bar/BarHost.h"
#include "bar/DialogRequests.h"

namespace vantrel {

class EventLoop;

// The helper program that shows the bar's menu and dialogs.
inline constexpr char kDialogsHelperName[] = "vantrel-dialogs";

// Where the helper is looked for, in this order: beside the running
// executable (a build tree, an unpacked copy), then where the package
// installed it.
std::vector<std::string> DialogsHelperPlaces();

// The bar's menu and dialogs, shown by the helper program in a process of
// its own, so that a bar that never opens them loads no toolkit. The helper
// starts on the first call and then stays for the later ones; it ends when
// this object goes (it reads the end of its input). Each call sends one
// request and runs `loop` until the answer comes, so the bar keeps ticking
// and painting meanwhile. A helper that cannot be started, dies or answers
// nonsense answers as cancelled (a dismissed menu), and is started again on
// the next call.
//
// The helper says at once that a request has reached it; one that has not
// said so within `limits.received` (stopped, hung) is ended, the request
// answers as cancelled and the next call starts a new helper. Once the bar
// cancels, the helper has `limits.cancelled` to answer before it is ended
// too, so a bar asked to end is never held by its helper. A helper that ends
// is reaped at once.
struct DialogsLimits {
  std::chrono::milliseconds received{5000};
  std::chrono::milliseconds cancelled{500};
};

class DialogsProcess final : public BarDialogs {
 public:
  // `owner` tells where the bar's window is when a dialog opens; `programs`
  // are the places to try for the helper, the first one that exists wins.
  DialogsProcess(EventLoop& loop, std::function<DialogOwner()> owner,
                 std::vector<std::string> programs = DialogsHelperPlaces(), DialogsLimits limits = {});
  ~DialogsProcess() override;
  DialogsProcess(const DialogsProcess&) = delete;
  DialogsProcess& operator=(const DialogsProcess&) = delete;

  // A call made while another one waits for its answer (the bar clicked
  // while a dialog is open) is answered as cancelled at once.
  int TrackMenu(ScreenPoint at, std::span<const MenuItem> items) override;
  bool RunOptions(BarSettings& settings) override;
  void RunAbout() override;
  void OpenFile(const std::string& path) override;
  // Tells the helper to close what it shows, when a call waits for it.
  void CancelAll() override;

 private:
  DialogReply Ask(const DialogRequest& request);
  bool Start();
  bool Send(const std::string& line);
  void OnReadable();
  // Drops the connection and the process (reaped now or when it next ends).
  void Stop();
  // Ends a helper that did not answer in time.
  void GiveUp();
  // The helper's answer is due within `limit`; Disarm: no longer.
  void Arm(std::chrono::milliseconds limit);
  void Disarm();
  void Reap(bool wait);

  struct Child {
    pid_t pid;
    int pidFd;  // readable once the process has ended; -1 where not offered
  };

  EventLoop& loop_;
  std::function<DialogOwner()> owner_;
  std::vector<std::string> programs_;
  DialogsLimits limits_;
  int socket_ = -1;
  pid_t pid_ = -1;
  std::vector<Child> children_;  // every helper started and not yet reaped
  int alarm_ = -1;               // a timer: the helper's answer is overdue
  std::string received_;
  bool waiting_ = false;
  bool cancelled_ = false;  // the request waited for was cancelled
  bool toldMissing_ = false;
  std::optional<std::string> reply_;  // the answer's line, once complete
};

}  // namespace vantrel
