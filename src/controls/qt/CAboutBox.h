#pragma once

#include <QDialog>

#include "controls/qt/CLabelCtrl.h"
#include "controls/qt/DialogPlacement.h"

namespace Ui {
class AboutBox;
}

namespace vantrel {

// The maker's web address, shown as a link in the About box.
inline constexpr char kWebAddress[] = "https://vantrel.example.org/";

// The About box: the icon, the product name and version, the copyright line
// and the web address as a link that opens in the browser when pressed. It
// changes nothing in the program; OK, Escape and the close box all end it.
class CAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutBox(QWidget* parent = nullptr);
  ~CAboutBox() override;

  CLabelCtrl& VersionLabel();
  CLabelCtrl& WebLink();

 private:
  Ui::AboutBox* ui_;
};

// Shows the About box modally over `owner`; returns when it is closed.
void ShowAboutBox(const OwnerWindow& owner);

}  // namespace vantrel
