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

std::vector<QColor> CustomColors() {
  std::vector<QColor> colors;
  for (int i = 0; i < QColorDialog::customCount(); ++i) colors.push_back(QColorDialog::customColor(i));
  return colors;
}

// The file in the test's own configuration folder (the launcher points
// XDG_CONFIG_HOME there) where every Qt program keeps the dialog's custom
// colours.
QString SharedQtSettingsFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/QtProject.conf";
}

// One test for the whole life of the picker in this process: its custom
// colours start white at the first opening and are kept from then on, but
// never stored. The shared file stays absent while it is, and byte for byte
// what another program wrote once there is one.
TEST(QtColorPickerTest, StartsFromTheColourAnswersAndSharesItsCustomColours) {
  const QString shared = SharedQtSettingsFile();
  QFile::remove(shared);
  QColorDialog::setCustomColor(3, Qt::red);  // as if left over from an earlier run
  QtColorPicker picker;
  QWidget owner;
  std::vector<QColor> custom;
  QColor initial;
  WhenModalShows<QColorDialog>([&](QColorDialog& dialog) {
    custom = CustomColors();
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

  // Another program keeps its own custom colours there.
  const QByteArray theirs = "[Qt]\ncustomColors\\0=4278190335\ncustomColors\\5=4294901760\n";
  {
    QFile file(shared);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(theirs);
  }

  WhenModalShows<QColorDialog>([&](QColorDialog& dialog) {
    custom = CustomColors();
    initial = dialog.currentColor();
    dialog.setCurrentColor(QColor(1, 2, 3));
    dialog.reject();
  });
  EXPECT_EQ(picker.PickColor(&owner, MakeColor(0, 0, 0)), std::nullopt);
  EXPECT_EQ(initial, QColor(0, 0, 0));
  expected[5] = Qt::green;
  EXPECT_EQ(custom, expected);
  QFile file(shared);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), theirs);
  // Other users of Qt's settings find them where they were.
  EXPECT_EQ(QSettings(QSettings::UserScope, "QtProject").fileName(), shared);
  file.remove();
}

}  // namespace
}  // namespace vantrel
