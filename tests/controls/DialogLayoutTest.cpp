#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "controls/qt/DialogPlacement.h"

namespace vantrel {
namespace {

TEST(DialogPlacementTest, CentresOverTheOwnerInsideTheWorkArea) {
  const QRect work(0, 0, 1280, 770);
  const QSize dialog(420, 320);
  struct Case {
    QSize frame;
    QRect owner, work;
    QPoint corner;
  };
  const Case cases[] = {
      {QSize(400, 300), QRect(200, 100, 800, 600), work, QPoint(400, 250)},  // room enough
      // A bar along the bottom edge, below the work area: the dialog sits on the work area's bottom...
      {dialog, QRect(0, 770, 1280, 30), work, QPoint(430, 450)},
      // ...and along the top edge, above it.
      {dialog, QRect(0, 0, 1280, 30), QRect(0, 30, 1280, 770), QPoint(430, 30)},
      {dialog, QRect(1200, 300, 80, 80), work, QPoint(860, 180)},  // owners near the sides
      {dialog, QRect(-50, 300, 80, 80), work, QPoint(0, 180)},
      // A second screen to the right of the first.
      {dialog, QRect(1280, 770, 1920, 30), QRect(1280, 0, 1920, 770), QPoint(2030, 450)},
      // A window larger than the work area keeps its corner inside.
      {QSize(900, 700), QRect(0, 570, 800, 30), QRect(0, 0, 800, 570), QPoint(0, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(CentredInside(c.frame, c.owner, c.work), c.corner) << c.owner.x();
}

// The bar of another process, known by its frame and its native window: the
// dialog goes over the frame, inside the work area, and belongs to the window.
TEST(DialogPlacementTest, AnOwnerOfAnotherProcessIsAFrameAndAWindow) {
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  QWindow bar;
  QDialog dialog;
  dialog.resize(200, 100);
  PlaceOverOwner(dialog, OwnerWindow(QRect(work.left(), work.bottom() - 19, 100, 20), &bar));
  // At the bar in the bottom left corner (less the frame the platform adds),
  // not in the middle of the screen.
  EXPECT_EQ(dialog.pos().x(), work.left());
  EXPECT_GT(dialog.pos().y(), work.bottom() - 150);
  ASSERT_NE(dialog.windowHandle(), nullptr);
  EXPECT_EQ(dialog.windowHandle()->transientParent(), &bar);
}

}  // namespace
}  // namespace vantrel
