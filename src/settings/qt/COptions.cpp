#include "settings/qt/COptions.h"

#include <string>
#include <vector>

#include "controls/qt/CLabelCtrl.h"
#include "controls/qt/DialogUnits.h"
#include "controls/qt/ModalDialogFrame.h"
#include "forms/ui_options.h"
#include "settings/AdapterChoice.h"
#include "settings/UnitsChoice.h"
#include "settings/qt/ColorPicker.h"
#include "traffic/AdapterList.h"

namespace vantrel {

namespace {

void ShowColor(CLabelCtrl& swatch, Color color) {
  // Setting the text is what repaints the swatch in its new colour.
  swatch.SetFillColor(ToQColor(color)).SetCaption(QString());
}

}  // namespace

COptions::COptions(BarSettings& settings, InterfaceTableSource& adapters, ColorPicker& picker,
                   QWidget* parent)
    : QDialog(parent), settings_(&settings), picker_(picker), ui_(new Ui::OptionsForm) {
  ui_->setupUi(this);
  UseModalDialogFrame(*this);
  LayOutInDialogUnits(*this);
  InitControls();
  FillAdapterList(adapters);
  ConnectControls();
  // OK and Cancel end the dialog; so do Escape and the close box.
  connect(ui_->id1, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui_->id2, &QPushButton::clicked, this, &QDialog::reject);
  ui_->id1->setFocus();
}

COptions::~COptions() {
  delete ui_;
}

void COptions::InitControls() {
  // Any position but 0 shows as the bottom edge.
  (settings_->position != 0 ? ui_->id1013 : ui_->id1012)->setChecked(true);
  ShowColor(*ui_->id1000, settings_->bgColor);
  ShowColor(*ui_->id1001, settings_->graphColor);
  ShowColor(*ui_->id1005, settings_->labelColor);
  ShowColor(*ui_->id1008, settings_->textColor);
  ShowColor(*ui_->id1009, settings_->downloadColor);
  ShowColor(*ui_->id1010, settings_->uploadColor);
  ui_->id1007->setChecked(settings_->runAtStartup != 0);
  for (const std::string_view entry : kUnitsEntries) {
    ui_->id1016->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
  }
  ui_->id1016->setCurrentIndex(ShownUnitsIndex(settings_->units));
}

void COptions::FillAdapterList(InterfaceTableSource& adapters) {
  // The descriptions are kept as they came: one need not survive a trip
  // through QString (it may not be valid UTF-8), and it must match the table
  // exactly.
  adapters_ = ListAdapters(adapters);
  for (const std::string& entry : AdapterEntries(adapters_, *settings_)) {
    ui_->id1006->addItem(QString::fromStdString(entry));
  }
  ui_->id1006->setCurrentIndex(ShownEntryIndex(adapters_, *settings_));
}

void COptions::ConnectControls() {
  // Only what the user does counts: clicked and activated are not sent for
  // changes made by the program.
  const auto swatch = [this](CLabelCtrl* label, Color BarSettings::*field) {
    connect(label, &CLabelCtrl::clicked, this,
            [this, label, field] { PickColor(settings_->*field, *label); });
  };
  swatch(ui_->id1000, &BarSettings::bgColor);
  swatch(ui_->id1005, &BarSettings::labelColor);
  swatch(ui_->id1008, &BarSettings::textColor);
  swatch(ui_->id1009, &BarSettings::downloadColor);
  swatch(ui_->id1010, &BarSettings::uploadColor);
  swatch(ui_->id1001, &BarSettings::graphColor);
  connect(ui_->id1012, &QRadioButton::clicked, this, [this] { settings_->position = 0; });
  connect(ui_->id1013, &QRadioButton::clicked, this, [this] { settings_->position = 1; });
  connect(ui_->id1006, &QComboBox::activated, this, [this](int index) {
    if (index >= 0) ChooseAdapterEntry(static_cast<std::size_t>(index), adapters_, *settings_);
  });
  connect(ui_->id1016, &QComboBox::activated, this, [this](int index) {
    if (index >= 0) settings_->units = index;
  });
  connect(ui_->id1007, &QCheckBox::clicked, this,
          [this] { settings_->runAtStartup = ui_->id1007->isChecked() ? 1 : 0; });
}

void COptions::PickColor(Color& field, CLabelCtrl& swatch) {
  const std::optional<Color> chosen = picker_.PickColor(this, field);
  if (!chosen) return;
  field = *chosen;
  ShowColor(swatch, field);
}

}  // namespace vantrel
