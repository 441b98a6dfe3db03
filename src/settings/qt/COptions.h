#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "settings/BarSettings.h"
#include "traffic/InterfaceTable.h"

namespace Ui {
class OptionsForm;
}

namespace vantrel {

class CLabelCtrl;
class ColorPicker;

// The Options dialog: the interface to watch, start at login, the docking
// edge and the six colours of the bar. Every control writes into the record
// under edit at once; nothing is read back from the controls when the dialog
// ends, and what becomes of the record is up to the caller.
class COptions : public QDialog {
  Q_OBJECT

 public:
  // Object names of the controls, from their ids.
  static constexpr char kOkButton[] = "id1";
  static constexpr char kCancelButton[] = "id2";
  static constexpr char kBackgroundSwatch[] = "id1000";
  static constexpr char kGraphSwatch[] = "id1001";
  static constexpr char kLabelSwatch[] = "id1005";
  static constexpr char kAdapterList[] = "id1006";
  static constexpr char kRunAtStartupBox[] = "id1007";
  static constexpr char kTextSwatch[] = "id1008";
  static constexpr char kDownloadSwatch[] = "id1009";
  static constexpr char kUploadSwatch[] = "id1010";
  static constexpr char kTopButton[] = "id1012";
  static constexpr char kBottomButton[] = "id1013";
  static constexpr char kUnitsList[] = "id1016";

  // Edits `settings`, which must outlive the dialog. The adapter list is read
  // from `adapters` once, here; colours are chosen with `picker`.
  COptions(BarSettings& settings, InterfaceTableSource& adapters, ColorPicker& picker,
           QWidget* parent = nullptr);
  ~COptions() override;

 private:
  void InitControls();
  void FillAdapterList(InterfaceTableSource& adapters);
  void ConnectControls();
  void PickColor(Color& field, CLabelCtrl& swatch);

  BarSettings* settings_;
  std::vector<std::string> adapters_;  // the list's entries after "Automatic"
  ColorPicker& picker_;
  Ui::OptionsForm* ui_;
};

}  // namespace vantrel
