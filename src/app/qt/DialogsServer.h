#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <deque>
#include <string>

#include "bar/DialogRequests.h"

namespace vantrel {

class QtBarDialogs;

// The dialogs helper's side of the conversation with the bar: reads
// requests from `input`, says at once that each has been received, runs
// each with `dialogs` once the one before has been answered, and writes the
// answers to `output`. A "cancel" closes what
// is open and answers every request read before it as cancelled. When the
// input ends (the bar has exited or died) whatever is open closes and the
// application quits.
class DialogsServer final : public QObject {
 public:
  DialogsServer(QtBarDialogs& dialogs, int input, int output);

 private:
  struct Pending {
    DialogRequest request;
    bool cancelled = false;
  };

  void OnReadable();
  void OnLine(std::string_view line);
  void RunQueued();
  DialogReply Run(const DialogRequest& request);
  void Write(const DialogReply& reply);
  void WriteLine(const std::string& line);
  void EndInput();

  QtBarDialogs& dialogs_;
  int input_;
  int output_;
  QSocketNotifier notifier_;
  std::string received_;
  std::deque<Pending> queue_;
  bool running_ = false;
  bool runningCancelled_ = false;
  bool ended_ = false;
};

}  // namespace vantrel
