#pragma once

#include <functional>
#include <string>
#include <vector>

#include "bar/BarHost.h"
#include "settings/SettingsStore.h"
#include "settings/null/MemorySettingsStore.h"

namespace vantrel::testing {

// One journal of everything a bar does to its host, its bar service, its
// dialogs and its store, so that a test can check what happened in which
// order.
using Journal = std::vector<std::string>;

inline std::string EdgeName(DockEdge edge) {
  return edge == DockEdge::Top ? "Top" : "Bottom";
}

// A bar service with other bars (or panels) already holding `takenTop` and
// `takenBottom` pixels on the edges; its query also cuts `shrink` pixels off
// the proposed strip.
class FakeAppBar final : public AppBarService {
 public:
  explicit FakeAppBar(Journal& journal) : journal_(journal) {}
  void New() override { journal_.push_back("New"); }
  void SetAutoHideBar(DockEdge, bool autoHide) override {
    journal_.push_back(autoHide ? "SetAutoHideBar(true)" : "SetAutoHideBar");
  }
  void QueryPos(DockEdge edge, BarRect& rc) override {
    journal_.push_back("QueryPos(" + EdgeName(edge) + ")");
    const int height = rc.Height() - shrink;
    rc.top = edge == DockEdge::Top ? rc.top + takenTop : rc.bottom - takenBottom - height;
    rc.bottom = rc.top + height;
  }
  void SetPos(DockEdge, BarRect& rc) override {
    journal_.push_back("SetPos");
    reserved = rc;
  }
  void EndQuery() override { journal_.push_back("EndQuery"); }
  void Remove() override { journal_.push_back("Remove"); }

  int takenTop = 0, takenBottom = 0, shrink = 0;
  BarRect reserved;

 private:
  Journal& journal_;
};

// A window on a 1024 x 768 screen, 900 x 33 before docking.
class FakeBarWindow final : public BarWindow {
 public:
  explicit FakeBarWindow(Journal& journal) : journal_(journal) {}
  BarRect WindowRect() override { return rect; }
  BarRect DesktopRect() override { return desktop; }
  void PlaceTopmost(const BarRect& rc) override {
    rect = rc;
    journal_.push_back("Place");
  }
  void Hide() override { journal_.push_back("Hide"); }
  void Repaint() override { journal_.push_back("Repaint"); }
  void StartTimer(int milliseconds) override {
    journal_.push_back("StartTimer(" + std::to_string(milliseconds) + ")");
  }
  void StopTimer() override { journal_.push_back("StopTimer"); }
  void EndRun(int result) override { journal_.push_back("EndRun(" + std::to_string(result) + ")"); }

  BarRect rect{0, 0, 900, 33};
  BarRect desktop{0, 0, 1024, 768};

 private:
  Journal& journal_;
};

// Dialogs that answer at once; each may run a test's action while it is
// "open", as the user or the system would meanwhile.
class FakeBarDialogs final : public BarDialogs {
 public:
  explicit FakeBarDialogs(Journal& journal) : journal_(journal) {}
  int TrackMenu(ScreenPoint at, std::span<const MenuItem> items) override {
    journal_.push_back("Menu");
    menuAt = at;
    menuItems.assign(items.begin(), items.end());
    if (whileOpen) whileOpen();
    return menuChoice;
  }
  bool RunOptions(BarSettings& settings) override {
    journal_.push_back("Options");
    if (editOptions) editOptions(settings);
    if (whileOpen) whileOpen();
    return confirmOptions;
  }
  void RunAbout() override {
    journal_.push_back("About");
    if (whileOpen) whileOpen();
  }
  void OpenFile(const std::string& path) override { journal_.push_back("Open " + path); }
  void CancelAll() override { journal_.push_back("CancelAll"); }

  int menuChoice = 0;
  bool confirmOptions = true;
  std::function<void(BarSettings&)> editOptions;
  std::function<void()> whileOpen;
  ScreenPoint menuAt;
  std::vector<MenuItem> menuItems;

 private:
  Journal& journal_;
};

// An in-memory store that notes each durable save ("Sync").
class JournalledStore final : public SettingsStore {
 public:
  using Text = std::string_view;
  explicit JournalledStore(Journal& journal) : journal_(journal) {}
  std::int32_t ReadInt(Text section, Text name, std::int32_t fallback) override {
    return values.ReadInt(section, name, fallback);
  }
  std::string ReadString(Text section, Text name, Text fallback) override {
    return values.ReadString(section, name, fallback);
  }
  bool WriteInt(Text section, Text name, std::int32_t value) override {
    return values.WriteInt(section, name, value);
  }
  bool WriteString(Text section, Text name, Text value) override {
    return values.WriteString(section, name, value);
  }
  bool Sync() override {
    journal_.push_back("Sync");
    return !syncFails;
  }

  MemorySettingsStore values;
  bool syncFails = false;

 private:
  Journal& journal_;
};

}  // namespace vantrel::testing
