#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "controls/ModalDialogs.h"
#include "controls/qt/CLabelCtrl.h"
#include "settings/ApplyOptions.h"
#include "settings/options/FakeColorPicker.h"
#include "settings/options/FakeOptionsEffects.h"
#include "settings/qt/COptions.h"
#include "settings/qt/OptionsCommand.h"
#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

using testing::ClickThroughWindow;
using ::testing::ElementsAre;
using testing::FakeColorPicker;
using testing::OptionsJournal;
using testing::WhenModalShows;
using Steps = std::vector<std::string>;

constexpr char kEthernet[] = "Realtek PCIe GbE Family Controller";
constexpr char kWireless[] = "Intel(R) Wi-Fi 6 AX201";
constexpr char kDialUp[] = "WAN Miniport (PPP)";

template <class T>
T& Control(COptions& dialog, const char* name) {
  T* control = dialog.findChild<T*>(name);
  if (control == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return *control;
}
// The colour swatches and the fields they pick.
const std::pair<const char*, Color BarSettings::*> kSwatches[] = {
    {COptions::kBackgroundSwatch, &BarSettings::bgColor},
    {COptions::kGraphSwatch, &BarSettings::graphColor},
    {COptions::kLabelSwatch, &BarSettings::labelColor},
    {COptions::kTextSwatch, &BarSettings::textColor},
    {COptions::kDownloadSwatch, &BarSettings::downloadColor},
    {COptions::kUploadSwatch, &BarSettings::uploadColor},
};

QComboBox& AdapterList(COptions& dialog) {
  return Control<QComboBox>(dialog, COptions::kAdapterList);
}

// The bar's side of the Options dialog: a bar window along the bottom edge of
// the screen, its live settings, the interface table and the effects of OK.
class OptionsDialogTest : public ::testing::Test {
 protected:
  OptionsDialogTest() {
    table.Add("Software Loopback Interface 1", kIfTypeLoopback);
    table.Add(kEthernet, kIfTypeEthernet);
    table.Add(kWireless, 71);
    table.Add(kDialUp, kIfTypePpp);
    live.connection = kWireless;
    int n = 0;  // every colour its own, and none the default
    for (const auto& [name, field] : kSwatches) live.*field = MakeColor(++n, 50, 100);
    journal.registered = true;

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    bar.setWindowFlags(Qt::FramelessWindowHint);
    bar.setGeometry(screen.x(), screen.y() + screen.height() - 30, screen.width(), 30);
    bar.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&bar));
  }

  // What the bar's "Options..." command does: edit a copy, apply it on OK.
  bool RunOptions() {
    BarSettings copy = live;
    if (!RunOptionsDialog(&bar, copy, table, picker)) return false;
    ApplyOptions(live, copy, journal, journal);
    return true;
  }

  // Opens the dialog, lets `act` work in it and then presses OK.
  bool OkAfter(std::function<void(COptions&)> act) {
    journal.calls.clear();
    journal.saved.clear();
    WhenModalShows<COptions>([act = std::move(act)](COptions& dialog) {
      act(dialog);
      ClickThroughWindow(Control<QPushButton>(dialog, COptions::kOkButton));
    });
    return RunOptions();
  }

  testing::ScriptedInterfaceTable table;
  FakeColorPicker picker;
  OptionsJournal journal;
  BarSettings live;
  QWidget bar;
};

// Choosing another interface resets the history on OK; the configured one
// does not. The list starts with "Automatic", naming the link watched while
// it is on, and shows it selected then; else the last entry that matches the
// connection; an empty, unknown or differently spelt one shows the first
// adapter, an empty or unreadable table none. OK without a choice leaves the
// connection as it was; picking Automatic keeps it too, picking a link by
// name turns Automatic off.
TEST_F(OptionsDialogTest, OnlyAnotherChosenInterfaceChangesTheConnectionAndResetsTheHistory) {
  const std::string odd("Adapter \xE9\xFF", 10);  // no valid UTF-8: stored byte for byte all the same
  table.Add(kWireless, 71);  // listed as 0 Ethernet, 1 Wireless, 2 Dial-up, 3 Wireless, 4 odd
  table.Add(odd, kIfTypeEthernet);
  auto keys = [](std::vector<Qt::Key> keys) {
    return [keys](QComboBox& list) {
      for (Qt::Key key : keys) QTest::keyClick(&list, key);
    };
  };
  // Picking the shown entry from the open list takes it over too.
  auto pickFirst = [](QComboBox& list) {
    list.showPopup();
    QAbstractItemView* view = list.view();
    const QPoint first = view->visualRect(view->model()->index(1, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, first);
  };
  enum Adapters { kListed, kUnreadable };
  struct Case {
    std::string configured;
    Adapters adapters;
    std::function<void(QComboBox&)> choose;
    int shown;  // the index shown at the opening
    std::string chosen;
    bool resets;
    int automatic = 0;  // Automatic Connection before, and after
    int automaticAfter = 0;
  };
  const Case cases[] = {{kWireless, kListed, keys({Qt::Key_Up}), 4, kDialUp, true},
                        {"", kListed, pickFirst, 1, kEthernet, true},
                        {kWireless, kListed, keys({Qt::Key_Down}), 4, odd, true},
                        {"", kListed, keys({}), 1, "", false},
                        {"intel(r) wi-fi 6 ax201", kListed, keys({}), 1, "intel(r) wi-fi 6 ax201", false},
                        {kWireless, kUnreadable, keys({}), -1, kWireless, false},
                        {kWireless, kListed, keys({Qt::Key_Down}), 0, kEthernet, true, 1, 0},
                        {kWireless, kListed, keys({Qt::Key_Home}), 0, kWireless, false, 1, 1},
                        {kDialUp, kListed, keys({Qt::Key_Home}), 3, kDialUp, false, 0, 1}};
  const auto rows = table.rows;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i];
    live.connection = c.configured;
    live.automaticConnection = c.automatic;
    table.rows = c.adapters == kListed ? rows : decltype(rows){};
    table.readable = c.adapters != kUnreadable;
    int shown = -2;
    QString automatic;
    const int reads = table.reads;
    ASSERT_TRUE(OkAfter([&c, &shown, &automatic](COptions& dialog) {
      shown = AdapterList(dialog).currentIndex();
      automatic = AdapterList(dialog).itemText(0);
      c.choose(AdapterList(dialog));
    }));
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(automatic.toStdString(), c.automatic != 0 ? "Automatic (" + c.configured + ")" : "Automatic");
    EXPECT_EQ(live.automaticConnection, c.automaticAfter);
    EXPECT_EQ(table.reads, reads + 1);  // the table is read once, when the dialog opens
    EXPECT_EQ(live.connection, c.chosen);
    EXPECT_EQ(journal.calls,
              (c.resets ? Steps{"reset history", "save", "repaint"} : Steps{"save", "repaint"}));
  }
}

// OK with the box cleared removes the entry and saves the rest as it was.
TEST_F(OptionsDialogTest, OkWithTheBoxClearedRemovesTheEntryAndKeepsTheRest) {
  live.position = 5;
  BarSettings expected = live;
  expected.runAtStartup = 0;
  ASSERT_TRUE(OkAfter(
      [](COptions& dialog) { ClickThroughWindow(Control<QCheckBox>(dialog, COptions::kRunAtStartupBox)); }));
  EXPECT_EQ(live, expected);
  EXPECT_FALSE(journal.registered);
  EXPECT_THAT(journal.calls, ElementsAre("unregister", "save", "repaint"));
  EXPECT_THAT(journal.saved, ElementsAre(expected));
}

// The units list shows the stored value's entry (an unknown one as the
// first, kept until the user picks), and a pick reaches the bar.
TEST_F(OptionsDialogTest, TheUnitsListShowsTheStoredUnitsAndAPickIsTakenOver) {
  live.units = 7;
  QStringList entries;
  int shown = -1;
  ASSERT_TRUE(OkAfter([&](COptions& dialog) {
    auto& list = Control<QComboBox>(dialog, COptions::kUnitsList);
    for (int i = 0; i < list.count(); ++i) entries << list.itemText(i);
    shown = list.currentIndex();
  }));
  EXPECT_EQ(entries, (QStringList{"KB and KB/s", "Bytes: KB, MB, GB", "Bits: kbit/s, Mbit/s, Gbit/s"}));
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(live.units, 7);
  ASSERT_TRUE(OkAfter([&](COptions& dialog) {
    auto& list = Control<QComboBox>(dialog, COptions::kUnitsList);
    EXPECT_EQ(list.currentIndex(), 0);
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Down);
  }));
  EXPECT_EQ(live.units, 2);
}

// A stored 5 shows as bottom and stays until a click stores 0 or 1.
TEST_F(OptionsDialogTest, StoredPositionFiveShowsBottomAndAClickStoresZeroOrOne) {
  live.position = 5;
  BarSettings copy = live;
  COptions dialog(copy, table, picker);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QRadioButton& top = Control<QRadioButton>(dialog, COptions::kTopButton);
  QRadioButton& bottom = Control<QRadioButton>(dialog, COptions::kBottomButton);
  EXPECT_TRUE(bottom.isChecked() && !top.isChecked());
  EXPECT_EQ(copy.position, 5);
  for (auto [button, position] : {std::pair{&bottom, 1}, {&top, 0}, {&bottom, 1}}) {
    ClickThroughWindow(*button);
    EXPECT_EQ(copy.position, position);
    EXPECT_EQ(std::pair(top.isChecked(), bottom.isChecked()), std::pair(position == 0, position == 1));
  }
  copy.position = 0;  // a stored 0 shows as top
  COptions atTop(copy, table, picker);
  EXPECT_TRUE(Control<QRadioButton>(atTop, COptions::kTopButton).isChecked());
}

TEST_F(OptionsDialogTest, EachSwatchShowsAndPicksItsOwnColourAndACancelledPickerChangesNothing) {
  for (const auto& [name, field] : kSwatches) {
    SCOPED_TRACE(name);
    const BarSettings before = live;
    const Color chosen = MakeColor(200, 100, 50);
    picker = FakeColorPicker();
    picker.answers = {std::nullopt, chosen};  // the user cancels the first time
    std::vector<QColor> shown;                // at the start, after the cancel, after the pick
    COptions* seenDialog = nullptr;
    ASSERT_TRUE(OkAfter([&, name = name](COptions& dialog) {
      seenDialog = &dialog;
      CLabelCtrl& swatch = Control<CLabelCtrl>(dialog, name);
      for (int click = 0; click < 3; ++click) {
        shown.push_back(swatch.grab().toImage().pixelColor(swatch.rect().center()));
        if (click < 2) ClickThroughWindow(swatch);
      }
    }));
    EXPECT_EQ(shown,
              (std::vector<QColor>{ToQColor(before.*field), ToQColor(before.*field), ToQColor(chosen)}));
    EXPECT_EQ(picker.asked, (std::vector<Color>{before.*field, before.*field}));
    EXPECT_EQ(picker.parents[0], seenDialog);
    BarSettings expected = before;
    expected.*field = chosen;
    EXPECT_EQ(live, expected);
  }
}

TEST_F(OptionsDialogTest, CancelDiscardsEverythingPickedColoursIncluded) {
  live.runAtStartup = 0;
  journal.registered = false;
  const BarSettings before = live;
  picker.answers = {MakeColor(255, 0, 0), MakeColor(0, 0, 255)};
  WhenModalShows<COptions>([](COptions& dialog) {
    ClickThroughWindow(Control<CLabelCtrl>(dialog, COptions::kBackgroundSwatch));
    ClickThroughWindow(Control<CLabelCtrl>(dialog, COptions::kTextSwatch));
    ClickThroughWindow(Control<QRadioButton>(dialog, COptions::kTopButton));
    ClickThroughWindow(Control<QCheckBox>(dialog, COptions::kRunAtStartupBox));
    QTest::keyClick(&AdapterList(dialog), Qt::Key_Down);
    EXPECT_EQ(Control<CLabelCtrl>(dialog, COptions::kBackgroundSwatch).FillColor(), QColor(255, 0, 0));
    ClickThroughWindow(Control<QPushButton>(dialog, COptions::kCancelButton));
  });
  EXPECT_FALSE(RunOptions());
  EXPECT_EQ(live, before);
  EXPECT_TRUE(journal.calls.empty());  // not saved, not registered, not repainted
  EXPECT_FALSE(journal.registered);
}

// It opens centred over the bar inside the work area, on OK, clipping nothing.
TEST_F(OptionsDialogTest, OpensCentredOverTheBarInsideTheWorkAreaOnOk) {
  QRect frame;
  WhenModalShows<COptions>([&](COptions& dialog) {
    frame = dialog.frameGeometry();
    EXPECT_EQ(dialog.focusWidget()->objectName(), COptions::kOkButton);
    testing::ExpectNothingClipped(dialog);
    testing::ExpectModalDialogFrame(dialog);
    dialog.reject();
  });
  RunOptions();
  const QRect work = bar.screen()->availableGeometry();
  EXPECT_TRUE(work.contains(frame));
  EXPECT_LE(std::abs(frame.center().x() - bar.frameGeometry().center().x()), 1);
  // Centred on the bar at the bottom it would stick out; it sits on the work area's bottom instead.
  EXPECT_EQ(frame.y() + frame.height(), work.y() + work.height());
}

}  // namespace
}  // namespace vantrel
