#include <gtest/gtest.h>

#include <QColorDialog>

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

// One test for the whole life of the picker in this process: its custom
// colours start white at the first opening and are kept from then on.
TEST(QtColorPickerTest, StartsFromTheColourAnswersAndSharesItsCustomColours) {
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
}

}  // namespace
}  // namespace vantrel
