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

  std::vector<QColor> customAtFirstOpening;
  QColor initial;
  bool alpha = true;
  QWidget* parent = nullptr;
  WhenModalShows<QColorDialog>([&](QColorDialog& dialog) {
    customAtFirstOpening = CustomColors();
    initial = dialog.currentColor();
    alpha = dialog.testOption(QColorDialog::ShowAlphaChannel);
    parent = dialog.parentWidget();
    dialog.setCurrentColor(QColor(10, 20, 30));
    QColorDialog::setCustomColor(5, Qt::green);  // the user adds a custom colour
    dialog.accept();
  });
  EXPECT_EQ(picker.PickColor(&owner, MakeColor(192, 48, 16)), MakeColor(10, 20, 30));
  EXPECT_EQ(initial, QColor(192, 48, 16));
  EXPECT_FALSE(alpha);
  EXPECT_EQ(parent, &owner);
  ASSERT_EQ(customAtFirstOpening.size(), 16u);
  for (const QColor& color : customAtFirstOpening) EXPECT_EQ(color, QColor(Qt::white));

  std::vector<QColor> customAtSecondOpening;
  WhenModalShows<QColorDialog>([&](QColorDialog& dialog) {
    customAtSecondOpening = CustomColors();
    initial = dialog.currentColor();
    dialog.setCurrentColor(QColor(1, 2, 3));
    dialog.reject();
  });
  EXPECT_EQ(picker.PickColor(&owner, MakeColor(0, 0, 0)), std::nullopt);
  EXPECT_EQ(initial, QColor(0, 0, 0));
  ASSERT_EQ(customAtSecondOpening.size(), 16u);
  EXPECT_EQ(customAtSecondOpening[5], QColor(Qt::green));
  EXPECT_EQ(customAtSecondOpening[3], QColor(Qt::white));
}

}  // namespace
}  // namespace vantrel
