#include <gtest/gtest.h>

#include <vector>

#include "controls/win32/DialogDriver.h"
#include "resource.h"
#include "settings/win32/COptions.h"
#include "settings/win32/OptionsDialog.h"
#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

using testing::LookOf;
using testing::Press;
using testing::TextOf;

// Answers each pick with the next colour, or cancels once they are used up.
class FakeColorPicker final : public ColorPicker {
 public:
  std::optional<Color> PickColor(HWND owner, Color initial) override {
    owners.push_back(owner);
    initials.push_back(initial);
    if (answers.empty()) return std::nullopt;
    const Color next = answers.front();
    answers.erase(answers.begin());
    return next;
  }
  std::vector<Color> answers;
  std::vector<Color> initials;
  std::vector<HWND> owners;
};

// Each swatch, the field it shows and the colour the test gives that field
// (the download colour with a top byte, which the swatch does not show).
struct SwatchColor {
  int id;
  Color BarSettings::*field;
  Color color;
};
constexpr SwatchColor kSwatchColors[] = {
    {IDC_BG_SWATCH, &BarSettings::bgColor, 0x010203},
    {IDC_GRAPH_SWATCH, &BarSettings::graphColor, 0x040506},
    {IDC_LABEL_SWATCH, &BarSettings::labelColor, 0x070809},
    {IDC_TEXT_SWATCH, &BarSettings::textColor, 0x0A0B0C},
    {IDC_DOWNLOAD_SWATCH, &BarSettings::downloadColor, 0xFF0D0E0F},
    {IDC_UPLOAD_SWATCH, &BarSettings::uploadColor, 0x101112},
};

class OptionsDialogTest : public ::testing::Test {
 protected:
  OptionsDialogTest() {
    adapters_.Add("Software Loopback Interface 1", kIfTypeLoopback);
    adapters_.Add("Wi-Fi Direct Virtual Adapter", kIfTypeOther);
    adapters_.Add("Intel\xC2\xAE Ethernet", kIfTypeEthernet).hardware = true;
    settings_.connection = "Wi-Fi Direct Virtual Adapter";
    settings_.position = 5;
    for (const SwatchColor& swatch : kSwatchColors) settings_.*swatch.field = swatch.color;
  }

  INT_PTR Run(std::function<void(HWND)> script) {
    testing::WhenDialogOpens(L"Options", std::move(script));
    COptions dialog(settings_, adapters_, picker_);
    return dialog.DoModal(nullptr);
  }

  testing::ScriptedInterfaceTable adapters_;
  BarSettings settings_;
  FakeColorPicker picker_;
};

std::vector<std::wstring> Items(HWND list) {
  std::vector<std::wstring> items;
  for (LRESULT i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(list, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    items.push_back(text);
  }
  return items;
}

TEST_F(OptionsDialogTest, ShowsTheRecordAndChangesNothingByItself) {
  const BarSettings before = settings_;
  EXPECT_EQ(Run([this](HWND dialog) {
              EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
              const HWND list = GetDlgItem(dialog, IDC_ADAPTER_LIST);
              EXPECT_EQ(Items(list), (std::vector<std::wstring>{L"Automatic", L"Intel\u00AE Ethernet",
                                                                L"Wi-Fi Direct Virtual Adapter"}));
              EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 2);
              EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_RUN_AT_STARTUP), BST_CHECKED);
              EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_POSITION_BOTTOM), BST_CHECKED) << "any position but 0";
              EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_POSITION_TOP), BST_UNCHECKED);
              const HWND units = GetDlgItem(dialog, IDC_UNITS);
              EXPECT_EQ(Items(units), (std::vector<std::wstring>{L"KB and KB/s", L"Bytes: KB, MB, GB",
                                                                 L"Bits: kbit/s, Mbit/s, Gbit/s"}));
              EXPECT_EQ(SendMessageW(units, CB_GETCURSEL, 0, 0), 0);
              for (const SwatchColor& swatch : kSwatchColors) {
                EXPECT_EQ(LookOf(dialog, swatch.id).fill, swatch.color & 0xFFFFFF) << swatch.id;
                EXPECT_EQ(TextOf(GetDlgItem(dialog, swatch.id)), L"") << swatch.id;
              }
              Press(dialog, IDOK);
            }),
            IDOK);
  EXPECT_EQ(settings_, before);
}

TEST_F(OptionsDialogTest, EachControlWritesItsFieldAtOnce) {
  picker_.answers = {0x00ABCDEF};
  BarSettings expected = settings_;
  EXPECT_EQ(Run([this](HWND dialog) {
              SendDlgItemMessageW(dialog, IDC_POSITION_TOP, BM_CLICK, 0, 0);
              EXPECT_EQ(settings_.position, 0);
              SendDlgItemMessageW(dialog, IDC_RUN_AT_STARTUP, BM_CLICK, 0, 0);
              EXPECT_EQ(settings_.runAtStartup, 0);
              const HWND list = GetDlgItem(dialog, IDC_ADAPTER_LIST);
              const auto choose = [&](WPARAM index) {
                SendMessageW(list, CB_SETCURSEL, index, 0);
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ADAPTER_LIST, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(list));
              };
              choose(0);
              EXPECT_EQ(settings_.automaticConnection, 1);
              choose(1);
              EXPECT_EQ(settings_.connection, "Intel\xC2\xAE Ethernet");
              EXPECT_EQ(settings_.automaticConnection, 0) << "a link chosen by name turns Automatic off";
              choose(0);
              const HWND units = GetDlgItem(dialog, IDC_UNITS);
              SendMessageW(units, CB_SETCURSEL, 2, 0);
              SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_UNITS, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(units));
              EXPECT_EQ(settings_.units, 2);
              // A press on a swatch picks its colour; a cancelled pick changes nothing.
              SendDlgItemMessageW(dialog, IDC_DOWNLOAD_SWATCH, WM_LBUTTONDOWN, MK_LBUTTON, 0);
              EXPECT_EQ(settings_.downloadColor, 0x00ABCDEFu);
              EXPECT_EQ(LookOf(dialog, IDC_DOWNLOAD_SWATCH).fill, 0x00ABCDEFu);
              SendDlgItemMessageW(dialog, IDC_GRAPH_SWATCH, WM_LBUTTONDOWN, MK_LBUTTON, 0);
              EXPECT_EQ(LookOf(dialog, IDC_GRAPH_SWATCH).fill, 0x040506u);
              SendDlgItemMessageW(dialog, IDC_POSITION_BOTTOM, BM_CLICK, 0, 0);
              Press(dialog, IDCANCEL);
            }),
            IDCANCEL);
  expected.position = 1;
  expected.runAtStartup = 0;
  expected.connection = "Intel\xC2\xAE Ethernet";
  expected.automaticConnection = 1;
  expected.downloadColor = 0x00ABCDEF;
  expected.units = 2;
  EXPECT_EQ(settings_, expected) << "the caller throws the copy away after Cancel";
  EXPECT_EQ(picker_.initials, (std::vector<Color>{0xFF0D0E0F, 0x00040506}));
  EXPECT_NE(picker_.owners.front(), nullptr) << "the picker belongs to the dialog";
}

// The bar's entry point, with the system's colour dialog.
TEST_F(OptionsDialogTest, RunOptionsDialogIsTrueOnlyForOk) {
  for (const int button : {IDOK, IDCANCEL}) {
    testing::WhenDialogOpens(L"Options", [button](HWND dialog) { Press(dialog, button); });
    EXPECT_EQ(RunOptionsDialog(nullptr, settings_, adapters_), button == IDOK);
  }
}

TEST(ChooseColorPicker, StartsFromTheColourAndKeepsWhiteCustomColours) {
  ChooseColorPicker picker;
  for (const int button : {IDOK, IDCANCEL}) {
    testing::WhenDialogOpens(L"Color", [button](HWND dialog) { Press(dialog, button); });
    const std::optional<Color> chosen = picker.PickColor(nullptr, 0x00336699);
    EXPECT_EQ(chosen, button == IDOK ? std::optional<Color>(0x00336699) : std::nullopt);
  }
  for (const COLORREF custom : picker.CustomColors()) EXPECT_EQ(custom, RGB(255, 255, 255));
}

}  // namespace
}  // namespace vantrel
