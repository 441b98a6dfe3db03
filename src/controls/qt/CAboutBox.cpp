#include "controls/qt/CAboutBox.h"

#include "controls/qt/AppResources.h"
#include "controls/qt/DialogPlacement.h"
#include "controls/qt/DialogUnits.h"
#include "controls/qt/ModalDialogFrame.h"
#include "forms/ui_about.h"

namespace vantrel {

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent), ui_(new Ui::AboutBox) {
  ui_->setupUi(this);
  UseModalDialogFrame(*this);
  const QIcon icon = AppIcon();
  setWindowIcon(icon);
  ui_->appIcon->setPixmap(icon.pixmap(32, 32));
  ui_->id1015->setText(QString::fromUtf8(kWebAddress));
  LayOutInDialogUnits(*this);
  // The icon takes its own size at the top left of its place.
  ui_->appIcon->resize(ui_->appIcon->sizeHint());

  VersionLabel().EnableBold(true);
  WebLink()
      .EnableHyperlink(true)
      .SetHoverCursor(QCursor(Qt::PointingHandCursor))
      .SetCaptionColor(QColor(0, 0, 255))
      .EnableUnderline(true);
  connect(ui_->id1, &QPushButton::clicked, this, &QDialog::accept);
  ui_->id1->setFocus();
}

CAboutBox::~CAboutBox() {
  delete ui_;
}

CLabelCtrl& CAboutBox::VersionLabel() {
  return *ui_->id1014;
}
CLabelCtrl& CAboutBox::WebLink() {
  return *ui_->id1015;
}

void ShowAboutBox(const OwnerWindow& owner) {
  CAboutBox box(owner.widget);
  PlaceOverOwner(box, owner);
  box.exec();
}

}  // namespace vantrel
