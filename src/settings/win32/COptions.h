#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "controls/win32/CLabelCtrl.h"
#include "resource.h"
#include "settings/BarSettings.h"
#include "settings/win32/ColorPicker.h"
#include "traffic/InterfaceTable.h"

namespace vantrel {

// The Options dialog of template IDD_OPTIONS: the interface to watch, start
// at log-on, the docking edge and the six colours of the bar. Every control
// writes into the record under edit at once; nothing is read back from the
// controls when the dialog ends, and what becomes of the record is up to the
// caller.
class COptions {
 public:
  // Edits `settings`, which must outlive the dialog. The adapter list is read
  // from `adapters` when the dialog opens; colours are chosen with `picker`.
  COptions(BarSettings& settings, InterfaceTableSource& adapters, ColorPicker& picker);

  // Runs the dialog modally over `owner`: IDOK, IDCANCEL, or -1 when it
  // cannot be shown.
  INT_PTR DoModal(HWND owner);

 private:
  struct Swatch {
    int id;
    Color BarSettings::*field;
  };
  // In the order the swatches are set up.
  static constexpr std::array<Swatch, 6> kSwatches = {{
      {IDC_BG_SWATCH, &BarSettings::bgColor},
      {IDC_GRAPH_SWATCH, &BarSettings::graphColor},
      {IDC_LABEL_SWATCH, &BarSettings::labelColor},
      {IDC_TEXT_SWATCH, &BarSettings::textColor},
      {IDC_DOWNLOAD_SWATCH, &BarSettings::downloadColor},
      {IDC_UPLOAD_SWATCH, &BarSettings::uploadColor},
  }};

  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog();
  void FillAdapterList();
  void OnCommand(int id, int code);
  void PickColor(std::size_t swatch);

  BarSettings* settings_;
  InterfaceTableSource& adapters_;
  std::vector<std::string> descriptions_;  // the list's entries after "Automatic"
  ColorPicker& picker_;
  HWND owner_ = nullptr;
  HWND dialog_ = nullptr;
  std::array<CLabelCtrl, kSwatches.size()> swatches_;
};

}  // namespace vantrel
