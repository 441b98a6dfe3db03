#pragma once

#include <sys/types.h>

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
class DialogsProcess final : public BarDialogs {
 public:
  // `owner` tells where the bar's window is when a dialog opens; `programs`
  // are the places to try for the helper, the first one that exists wins.
  DialogsProcess(EventLoop& loop, std::function<DialogOwner()> owner,
                 std::vector<std::string> programs = DialogsHelperPlaces());
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
  void Reap(bool wait);

  EventLoop& loop_;
  std::function<DialogOwner()> owner_;
  std::vector<std::string> programs_;
  int socket_ = -1;
  pid_t pid_ = -1;
  std::vector<pid_t> exited_;  // helpers stopped but not yet reaped
  std::string received_;
  bool waiting_ = false;
  std::optional<std::string> reply_;  // the answer's line, once complete
};

}  // namespace vantrel
