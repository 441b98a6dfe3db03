#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

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
using testing::FakeColorPicker;
using testing::OptionsJournal;
using testing::ScriptedInterfaceTable;
using testing::WhenModalShows;

constexpr char kEthernet[] = "Realtek PCIe GbE Family Controller";
constexpr char kWireless[] = "Intel(R) Wi-Fi 6 AX201";
constexpr char kDialUp[] = "WAN Miniport (PPP)";

template <class T>
T& Control(COptions& dialog, const char* name) {
  T* control = dialog.findChild<T*>(name);
  if (control == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return *control;
}

CLabelCtrl& Swatch(COptions& dialog, const char* name) {
  return Control<CLabelCtrl>(dialog, name);
}
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
    live.position = 1;
    live.runAtStartup = 1;
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
    WhenModalShows<COptions>([act = std::move(act)](COptions& dialog) {
      act(dialog);
      ClickThroughWindow(Control<QPushButton>(dialog, COptions::kOkButton));
    });
    return RunOptions();
  }

  ScriptedInterfaceTable table;
  FakeColorPicker picker;
  OptionsJournal journal;
  BarSettings live;
  QWidget bar;
};

TEST_F(OptionsDialogTest, ShowsItsControlsWithTheirCaptions) {
  COptions dialog(live, table, picker);
  EXPECT_EQ(dialog.windowTitle(), "Options");
  EXPECT_EQ(Control<QPushButton>(dialog, COptions::kOkButton).text(), "OK");
  EXPECT_TRUE(Control<QPushButton>(dialog, COptions::kOkButton).isDefault());
  EXPECT_EQ(Control<QPushButton>(dialog, COptions::kCancelButton).text(), "Cancel");
  EXPECT_EQ(Control<QCheckBox>(dialog, COptions::kRunAtStartupBox).text(), "Run at startup");
  EXPECT_EQ(Control<QRadioButton>(dialog, COptions::kTopButton).text(), "Top");
  EXPECT_EQ(Control<QRadioButton>(dialog, COptions::kBottomButton).text(), "Bottom");
  QStringList captions;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (qobject_cast<CLabelCtrl*>(label) == nullptr) captions << label->text();
  }
  captions.sort();
  EXPECT_EQ(captions, QStringList({"Background", "Connection", "Download", "Graph Background", "Label",
                                   "Position:", "Text", "Upload"}));
  QStringList groups;
  for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) groups << group->title();
  groups.sort();
  EXPECT_EQ(groups, QStringList({"", "Colors"}));
}

TEST_F(OptionsDialogTest, TabsInTheFormsOrderAndStartsOnOk) {
  COptions dialog(live, table, picker);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  const std::vector<const char*> order = {COptions::kOkButton,    COptions::kCancelButton,
                                          COptions::kAdapterList, COptions::kRunAtStartupBox,
                                          COptions::kTopButton,   COptions::kBottomButton};
  EXPECT_EQ(dialog.focusWidget()->objectName(), COptions::kOkButton);
  std::vector<std::string> seen;
  QWidget* widget = dialog.findChild<QWidget*>(COptions::kOkButton);
  for (std::size_t i = 0; i < order.size(); ++i) {
    seen.push_back(widget->objectName().toStdString());
    do {
      widget = widget->nextInFocusChain();
    } while (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty());
  }
  EXPECT_EQ(seen, std::vector<std::string>(order.begin(), order.end()));
}

TEST_F(OptionsDialogTest, SwatchesShowTheSettingsColours) {
  live.bgColor = MakeColor(1, 2, 3);
  live.graphColor = MakeColor(4, 5, 6);
  live.labelColor = MakeColor(7, 8, 9);
  live.textColor = MakeColor(10, 11, 12);
  live.downloadColor = MakeColor(13, 14, 15);
  live.uploadColor = MakeColor(16, 17, 18);
  COptions dialog(live, table, picker);
  const std::pair<const char*, Color> expected[] = {
      {COptions::kBackgroundSwatch, live.bgColor},     {COptions::kGraphSwatch, live.graphColor},
      {COptions::kLabelSwatch, live.labelColor},       {COptions::kTextSwatch, live.textColor},
      {COptions::kDownloadSwatch, live.downloadColor}, {COptions::kUploadSwatch, live.uploadColor},
  };
  for (const auto& [name, color] : expected) {
    SCOPED_TRACE(name);
    CLabelCtrl& swatch = Swatch(dialog, name);
    EXPECT_EQ(swatch.FillColor(), ToQColor(color));
    EXPECT_TRUE(swatch.text().isEmpty());
    const QImage image = swatch.grab().toImage();
    EXPECT_EQ(image.pixelColor(image.rect().center()), ToQColor(color));
  }
}

TEST_F(OptionsDialogTest, ListsTheAdaptersWithoutLoopbackOnceAndSelectsTheConfiguredOne) {
  COptions dialog(live, table, picker);
  QComboBox& list = AdapterList(dialog);
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.itemText(0), kEthernet);
  EXPECT_EQ(list.itemText(1), kWireless);
  EXPECT_EQ(list.itemText(2), kDialUp);
  EXPECT_EQ(list.currentIndex(), 1);
  EXPECT_EQ(table.reads, 1);
}

TEST_F(OptionsDialogTest, AmongEqualDescriptionsTheLastIsSelected) {
  table.Add(kWireless, 71);
  table.Add("Bluetooth Device (Personal Area Network)", kIfTypeEthernet);
  COptions dialog(live, table, picker);
  EXPECT_EQ(AdapterList(dialog).currentIndex(), 3);
}

TEST_F(OptionsDialogTest, UnmatchedConnectionShowsTheFirstAdapterButKeepsItsText) {
  for (const std::string connection : {"", "Removed USB adapter", "intel(r) wi-fi 6 ax201"}) {
    SCOPED_TRACE(connection);
    live.connection = connection;
    journal = OptionsJournal();
    journal.registered = true;
    int shown = -1;
    ASSERT_TRUE(OkAfter([&](COptions& dialog) { shown = AdapterList(dialog).currentIndex(); }));
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(live.connection, connection);
    EXPECT_THAT(journal.calls, ::testing::ElementsAre("save", "repaint"));
  }
}

TEST_F(OptionsDialogTest, EmptyAdapterListLeavesTheConnectionAsItWas) {
  for (bool readable : {false, true}) {
    SCOPED_TRACE(readable ? "no adapters" : "unreadable table");
    table.rows.clear();
    table.readable = readable;
    journal = OptionsJournal();
    journal.registered = true;
    int items = -1;
    int selected = 0;
    ASSERT_TRUE(OkAfter([&](COptions& dialog) {
      items = AdapterList(dialog).count();
      selected = AdapterList(dialog).currentIndex();
    }));
    EXPECT_EQ(items, 0);
    EXPECT_EQ(selected, -1);
    EXPECT_EQ(live.connection, kWireless);
    EXPECT_THAT(journal.calls, ::testing::ElementsAre("save", "repaint"));
  }
}

TEST_F(OptionsDialogTest, ChoosingAnotherInterfaceResetsTheHistoryOnOk) {
  ASSERT_TRUE(OkAfter([](COptions& dialog) { QTest::keyClick(&AdapterList(dialog), Qt::Key_Down); }));
  EXPECT_EQ(live.connection, kDialUp);
  EXPECT_THAT(journal.calls, ::testing::ElementsAre("reset history", "save", "repaint"));
  ASSERT_EQ(journal.saved.size(), 1u);
  EXPECT_EQ(journal.saved[0].connection, kDialUp);
}

TEST_F(OptionsDialogTest, ChoosingTheConfiguredInterfaceAgainDoesNotResetTheHistory) {
  ASSERT_TRUE(OkAfter([](COptions& dialog) {
    QTest::keyClick(&AdapterList(dialog), Qt::Key_Up);
    QTest::keyClick(&AdapterList(dialog), Qt::Key_Down);
  }));
  EXPECT_EQ(live.connection, kWireless);
  EXPECT_THAT(journal.calls, ::testing::ElementsAre("save", "repaint"));
}

// With nothing configured the first adapter is shown; picking it from the
// open list takes it over, which is a change of interface.
TEST_F(OptionsDialogTest, PickingTheShownFirstAdapterFromTheListTakesItOver) {
  live.connection.clear();
  ASSERT_TRUE(OkAfter([](COptions& dialog) {
    QComboBox& list = AdapterList(dialog);
    list.showPopup();
    QAbstractItemView* view = list.view();
    const QPoint first = view->visualRect(view->model()->index(0, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, first);
  }));
  EXPECT_EQ(live.connection, kEthernet);
  EXPECT_THAT(journal.calls, ::testing::ElementsAre("reset history", "save", "repaint"));
}

// A description is stored exactly as the interface table gives it, also when
// its bytes are no valid UTF-8.
TEST_F(OptionsDialogTest, ChosenDescriptionKeepsItsBytes) {
  const std::string odd = std::string("Adapter \xE9\xFF", 10);
  table.Add(odd, kIfTypeEthernet);
  ASSERT_TRUE(OkAfter([](COptions& dialog) { QTest::keyClick(&AdapterList(dialog), Qt::Key_End); }));
  EXPECT_EQ(live.connection, odd);
}

TEST_F(OptionsDialogTest, OkWithoutChangesRegistersAMissingEntrySavesAndRepaints) {
  journal.registered = false;
  const BarSettings before = live;
  ASSERT_TRUE(OkAfter([](COptions&) {}));
  EXPECT_THAT(journal.calls, ::testing::ElementsAre("register", "save", "repaint"));
  EXPECT_TRUE(journal.registered);
  ASSERT_EQ(journal.saved.size(), 1u);
  EXPECT_EQ(journal.saved[0], before);  // all nine values
  EXPECT_EQ(live, before);
}

TEST_F(OptionsDialogTest, ClearingRunAtStartupRemovesTheEntry) {
  ASSERT_TRUE(OkAfter([](COptions& dialog) {
    QCheckBox& box = Control<QCheckBox>(dialog, COptions::kRunAtStartupBox);
    EXPECT_TRUE(box.isChecked());
    ClickThroughWindow(box);
  }));
  EXPECT_EQ(live.runAtStartup, 0);
  EXPECT_FALSE(journal.registered);
  EXPECT_THAT(journal.calls, ::testing::ElementsAre("unregister", "save", "repaint"));
}

TEST_F(OptionsDialogTest, StoredPositionFiveShowsBottomAndAClickStoresZeroOrOne) {
  live.position = 5;
  BarSettings copy = live;
  COptions dialog(copy, table, picker);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QRadioButton& top = Control<QRadioButton>(dialog, COptions::kTopButton);
  QRadioButton& bottom = Control<QRadioButton>(dialog, COptions::kBottomButton);
  EXPECT_TRUE(bottom.isChecked());
  EXPECT_FALSE(top.isChecked());
  EXPECT_EQ(copy.position, 5);  // showing it changes nothing

  ClickThroughWindow(bottom);
  EXPECT_EQ(copy.position, 1);
  ClickThroughWindow(top);
  EXPECT_EQ(copy.position, 0);
  EXPECT_FALSE(bottom.isChecked());
  ClickThroughWindow(bottom);
  EXPECT_EQ(copy.position, 1);

  live.position = 0;
  BarSettings topCopy = live;
  COptions atTop(topCopy, table, picker);
  EXPECT_TRUE(Control<QRadioButton>(atTop, COptions::kTopButton).isChecked());
}

TEST_F(OptionsDialogTest, ChangedEdgeReDocksAndTheSameEdgeDoesNot) {
  ASSERT_TRUE(OkAfter(
      [](COptions& dialog) { ClickThroughWindow(Control<QRadioButton>(dialog, COptions::kTopButton)); }));
  EXPECT_EQ(live.position, 0);
  EXPECT_THAT(journal.calls, ::testing::ElementsAre("dock top", "save", "repaint"));

  journal.calls.clear();
  ASSERT_TRUE(OkAfter(
      [](COptions& dialog) { ClickThroughWindow(Control<QRadioButton>(dialog, COptions::kTopButton)); }));
  EXPECT_THAT(journal.calls, ::testing::ElementsAre("save", "repaint"));

  journal.calls.clear();
  ASSERT_TRUE(OkAfter(
      [](COptions& dialog) { ClickThroughWindow(Control<QRadioButton>(dialog, COptions::kBottomButton)); }));
  EXPECT_THAT(journal.calls, ::testing::ElementsAre("dock bottom", "save", "repaint"));
}

TEST_F(OptionsDialogTest, EachSwatchPicksItsOwnColour) {
  const std::pair<const char*, Color BarSettings::*> swatches[] = {
      {COptions::kBackgroundSwatch, &BarSettings::bgColor},
      {COptions::kGraphSwatch, &BarSettings::graphColor},
      {COptions::kLabelSwatch, &BarSettings::labelColor},
      {COptions::kTextSwatch, &BarSettings::textColor},
      {COptions::kDownloadSwatch, &BarSettings::downloadColor},
      {COptions::kUploadSwatch, &BarSettings::uploadColor},
  };
  for (const auto& [name, field] : swatches) {
    SCOPED_TRACE(name);
    const BarSettings before = live;
    const Color chosen = MakeColor(200, 100, 50);
    picker = FakeColorPicker();
    picker.answers.push_back(chosen);
    QColor shown;
    COptions* seenDialog = nullptr;
    ASSERT_TRUE(OkAfter([&, name = name](COptions& dialog) {
      seenDialog = &dialog;
      ClickThroughWindow(Swatch(dialog, name));
      shown = Swatch(dialog, name).grab().toImage().pixelColor(Swatch(dialog, name).rect().center());
    }));
    ASSERT_EQ(picker.asked.size(), 1u);
    EXPECT_EQ(picker.asked[0], before.*field);  // starts from the field's colour
    EXPECT_EQ(picker.parents[0], seenDialog);
    EXPECT_EQ(shown, ToQColor(chosen));
    BarSettings expected = before;
    expected.*field = chosen;
    EXPECT_EQ(live, expected);
  }
}

TEST_F(OptionsDialogTest, CancelledPickerChangesNothing) {
  const BarSettings before = live;
  QColor shown;
  ASSERT_TRUE(OkAfter([&](COptions& dialog) {
    CLabelCtrl& swatch = Swatch(dialog, COptions::kDownloadSwatch);
    ClickThroughWindow(swatch);
    shown = swatch.FillColor();
  }));
  EXPECT_EQ(picker.asked.size(), 1u);
  EXPECT_EQ(shown, ToQColor(before.downloadColor));
  EXPECT_EQ(live, before);
}

TEST_F(OptionsDialogTest, CancelDiscardsEverythingPickedColoursIncluded) {
  for (const char* how : {"button", "escape", "close box"}) {
    SCOPED_TRACE(how);
    journal = OptionsJournal();
    journal.registered = false;
    live.runAtStartup = 0;
    const BarSettings before = live;
    picker.answers = {MakeColor(255, 0, 0), MakeColor(0, 0, 255)};
    WhenModalShows<COptions>([how = std::string(how)](COptions& dialog) {
      ClickThroughWindow(Swatch(dialog, COptions::kBackgroundSwatch));
      ClickThroughWindow(Swatch(dialog, COptions::kTextSwatch));
      ClickThroughWindow(Control<QRadioButton>(dialog, COptions::kTopButton));
      ClickThroughWindow(Control<QCheckBox>(dialog, COptions::kRunAtStartupBox));
      QTest::keyClick(&AdapterList(dialog), Qt::Key_Down);
      EXPECT_EQ(Swatch(dialog, COptions::kBackgroundSwatch).FillColor(), QColor(255, 0, 0));
      if (how == "button") ClickThroughWindow(Control<QPushButton>(dialog, COptions::kCancelButton));
      if (how == "escape") QTest::keyClick(&dialog, Qt::Key_Escape);
      if (how == "close box") dialog.close();
    });
    EXPECT_FALSE(RunOptions());
    EXPECT_EQ(live, before);
    EXPECT_TRUE(journal.calls.empty());  // not saved, not registered, not repainted
    EXPECT_FALSE(journal.registered);
  }
}

TEST_F(OptionsDialogTest, OpensCentredOverTheBarInsideTheWorkArea) {
  QRect frame;
  WhenModalShows<COptions>([&](COptions& dialog) {
    frame = dialog.frameGeometry();
    dialog.reject();
  });
  RunOptions();
  const QRect work = bar.screen()->availableGeometry();
  EXPECT_TRUE(work.contains(frame)) << "dialog " << frame.x() << "," << frame.y() << " " << frame.width()
                                    << "x" << frame.height();
  EXPECT_LE(std::abs(frame.center().x() - bar.frameGeometry().center().x()), 1);
  // Centred on the bar at the bottom it would stick out; it sits on the work area's bottom instead.
  EXPECT_EQ(frame.y() + frame.height(), work.y() + work.height());
}

TEST_F(OptionsDialogTest, TheBarKeepsTickingWhileTheDialogIsOpen) {
  int ticks = 0;
  QTimer timer(&bar);
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start(10);
  int ticksAtOpen = -1;
  int ticksLater = -1;
  WhenModalShows<COptions>([&](COptions& dialog) {
    ticksAtOpen = ticks;
    QTimer::singleShot(100, &dialog, [&, d = &dialog] {
      ticksLater = ticks;
      d->reject();
    });
  });
  RunOptions();
  EXPECT_GT(ticksLater, ticksAtOpen + 2);
}

TEST_F(OptionsDialogTest, NothingIsClipped) {
  COptions dialog(live, table, picker);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  testing::ExpectNothingClipped(dialog);
  const QSize swatch = Swatch(dialog, COptions::kBackgroundSwatch).size();
  for (const char* name : {COptions::kGraphSwatch, COptions::kLabelSwatch, COptions::kTextSwatch,
                           COptions::kDownloadSwatch, COptions::kUploadSwatch}) {
    // Each edge is rounded on its own, so sizes may differ by a pixel.
    EXPECT_LE(std::abs(Swatch(dialog, name).width() - swatch.width()), 1) << name;
    EXPECT_LE(std::abs(Swatch(dialog, name).height() - swatch.height()), 1) << name;
  }
}

}  // namespace
}  // namespace vantrel
