#include <gtest/gtest.h>

#include <QColorDialog>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include "controls/ModalDialogs.h"
#include "settings/qt/ColorPicker.h"

namespace vantrel {
namespace {

using testing::WhenModalShows;

// The picker starts from the colour it is given, with custom colours that
// start white and are never stored: Qt's shared settings file stays as it was.
TEST(QtColorPickerTest, StartsFromTheColourAnswersAndSharesItsCustomColours) {
  // Where every Qt program keeps the dialog's custom colours, in the test's own configuration folder.
  const QString shared =
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/QtProject.conf";
  QFile::remove(shared);
  QColorDialog::setCustomColor(3, Qt::red);  // as if left over from an earlier run
  QtColorPicker picker;
  QWidget owner;
  std::vector<QColor> custom;
  QColor initial;
  WhenModalShows<QColorDialog>([&](QColorDialog& dialog) {
    for (int i = 0; i < QColorDialog::customCount(); ++i) custom.push_back(QColorDialog::customColor(i));
    initial = dialog.currentColor();
    EXPECT_FALSE(dialog.testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_EQ(dialog.parentWidget(), &owner);
    dialog.setCurrentColor(QColor(10, 20, 30));
    QColorDialog::setCustomColor(5, Qt::green);  // the user adds a custom colour
    dialog.accept();
  });
  EXPECT_EQ(picker.PickColor(&owner, MakeColor(192, 48, 16)), MakeColor(10, 20, 30));
  EXPECT_EQ(initial, QColor(192, 48, 16));
  std::vector<QColor> expected(16, QColor(Qt::white));
  EXPECT_EQ(custom, expected);
  EXPECT_FALSE(QFile::exists(shared));

  // Other users of Qt's settings find them where they were.
  EXPECT_EQ(QSettings(QSettings::UserScope, "QtProject").fileName(), shared);
}

}  // namespace
}  // namespace vantrel
