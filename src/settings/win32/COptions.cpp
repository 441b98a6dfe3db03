#include "settings/win32/COptions.h"

#include <string>
#include <vector>

#include "controls/win32/DialogPlacement.h"
#include "resource.h"
#include "settings/AdapterChoice.h"
#include "settings/UnitsChoice.h"
#include "settings/win32/OptionsDialog.h"
#include "traffic/AdapterList.h"
#include "traffic/win32/WideText.h"

namespace vantrel {
namespace {

void ShowColor(CLabelCtrl& swatch, Color color) {
  // Setting the text is what repaints the swatch in its new colour.
  swatch.SetFillColor(static_cast<COLORREF>(color & 0x00FFFFFF)).SetCaption(L"");
}

}  // namespace

COptions::COptions(BarSettings& settings, InterfaceTableSource& adapters, ColorPicker& picker)
    : settings_(&settings), adapters_(adapters), picker_(picker) {}

INT_PTR COptions::DoModal(HWND owner) {
  owner_ = owner;
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_OPTIONS), owner, &DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

void COptions::OnInitDialog() {
  for (std::size_t i = 0; i < kSwatches.size(); ++i)
    swatches_[i].Attach(GetDlgItem(dialog_, kSwatches[i].id));
  // Any position but 0 shows as the bottom edge.
  CheckRadioButton(dialog_, IDC_POSITION_TOP, IDC_POSITION_BOTTOM,
                   settings_->position != 0 ? IDC_POSITION_BOTTOM : IDC_POSITION_TOP);
  for (std::size_t i = 0; i < kSwatches.size(); ++i) ShowColor(swatches_[i], settings_->*kSwatches[i].field);
  CheckDlgButton(dialog_, IDC_RUN_AT_STARTUP, settings_->runAtStartup != 0 ? BST_CHECKED : BST_UNCHECKED);
  FillAdapterList();
  const HWND units = GetDlgItem(dialog_, IDC_UNITS);
  for (const std::string_view entry : kUnitsEntries) {
    SendMessageW(units, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(entry).c_str()));
  }
  SendMessageW(units, CB_SETCURSEL, static_cast<WPARAM>(ShownUnitsIndex(settings_->units)), 0);
  PlaceOverOwner(dialog_, owner_);
}

void COptions::FillAdapterList() {
  descriptions_ = ListAdapters(adapters_);
  const HWND list = GetDlgItem(dialog_, IDC_ADAPTER_LIST);
  for (const std::string& entry : AdapterEntries(descriptions_, *settings_)) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(entry).c_str()));
  }
  // Selecting by program sends no notification: `connection` stays as it is.
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(ShownEntryIndex(descriptions_, *settings_)), 0);
}

void COptions::OnCommand(int id, int code) {
  for (std::size_t i = 0; i < kSwatches.size(); ++i) {
    if (id == kSwatches[i].id && code == STN_CLICKED) return PickColor(i);
  }
  switch (id) {
    case IDC_POSITION_TOP:
    case IDC_POSITION_BOTTOM:
      if (code == BN_CLICKED) settings_->position = id == IDC_POSITION_BOTTOM ? 1 : 0;
      break;
    case IDC_RUN_AT_STARTUP:
      if (code == BN_CLICKED)
        settings_->runAtStartup = IsDlgButtonChecked(dialog_, id) == BST_CHECKED ? 1 : 0;
      break;
    case IDC_UNITS:
      if (code == CBN_SELCHANGE) {
        const LRESULT index = SendMessageW(GetDlgItem(dialog_, id), CB_GETCURSEL, 0, 0);
        if (index != CB_ERR) settings_->units = static_cast<std::int32_t>(index);
      }
      break;
    case IDC_ADAPTER_LIST:
      if (code == CBN_SELCHANGE) {
        const LRESULT index = SendDlgItemMessageW(dialog_, id, CB_GETCURSEL, 0, 0);
        if (index != CB_ERR) ChooseAdapterEntry(static_cast<std::size_t>(index), descriptions_, *settings_);
      }
      break;
    default:
      break;
  }
}

void COptions::PickColor(std::size_t swatch) {
  Color& field = settings_->*kSwatches[swatch].field;
  const std::optional<Color> chosen = picker_.PickColor(dialog_, field);
  if (!chosen) return;
  field = *chosen;
  ShowColor(swatches_[swatch], field);
}

INT_PTR CALLBACK COptions::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<COptions*>(lParam);
    self->dialog_ = dialog;
    self->OnInitDialog();
    return TRUE;  // the focus goes to OK
  }
  auto* self = reinterpret_cast<COptions*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  INT_PTR brush = 0;
  if (CLabelCtrl::ReflectCtlColor(message, wParam, lParam, brush)) return brush;
  if (message != WM_COMMAND) return FALSE;
  const int id = LOWORD(wParam);
  if (id == IDOK || id == IDCANCEL) {
    EndDialog(dialog, id);
  } else {
    self->OnCommand(id, HIWORD(wParam));
  }
  return TRUE;
}

bool RunOptionsDialog(HWND owner, BarSettings& copy, InterfaceTableSource& adapters) {
  COptions dialog(copy, adapters, PlatformColorPicker());
  return dialog.DoModal(owner) == IDOK;
}

}  // namespace vantrel
