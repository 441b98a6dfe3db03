#include "bar/AppBarDocking.h"

#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/FakeBarHost.h"

namespace vantrel {
namespace {

using ::testing::ElementsAre;

class AppBarDockingTest : public ::testing::Test {
 protected:
  testing::Journal journal;
  testing::FakeAppBar shell{journal};
  testing::FakeBarWindow window{journal};  // 33 pixels thick
  AppBarDocking docking{shell, window};
};

TEST(BarRectArithmeticTest, ProposesAFullWidthStripOnEitherEdge) {
  const BarRect desk{1920, 200, 3200, 1224};
  EXPECT_EQ(ProposeBarRect(desk, 20, DockEdge::Top), (BarRect{1920, 200, 3200, 220}));
  EXPECT_EQ(ProposeBarRect(desk, 20, DockEdge::Bottom), (BarRect{1920, 1204, 3200, 1224}));
}

// The first docking registers; each negotiates a full-width strip of the
// undocked thickness and places the window one pixel larger; redocking keeps
// the registration and the thickness.
TEST_F(AppBarDockingTest, RegistersOnceNegotiatesAndPlacesOnePixelLarger) {
  docking.DockToEdge(DockEdge::Bottom);
  EXPECT_THAT(journal, ElementsAre("New", "SetAutoHideBar", "QueryPos(Bottom)", "SetPos", "Place"));
  EXPECT_TRUE(docking.registeredWithShell);
  EXPECT_EQ(shell.reserved, (BarRect{0, 735, 1024, 768}));
  EXPECT_EQ(window.rect, (BarRect{0, 735, 1025, 769}));

  journal.clear();
  window.desktop = {0, 0, 1280, 1024};  // the screen grew
  docking.DockToEdge(DockEdge::Top);
  EXPECT_THAT(journal, ElementsAre("SetAutoHideBar", "QueryPos(Top)", "SetPos", "Place"));
  EXPECT_EQ(docking.dockEdge, DockEdge::Top);
  EXPECT_EQ(docking.Thickness(), 33);  // not re-read from the docked window
  EXPECT_EQ(window.rect, (BarRect{0, 0, 1281, 34}));
}

// The strip sits beside what others hold on its edge, with its full
// thickness however much the query cut off.
TEST_F(AppBarDockingTest, SitsBesideWhatOthersHoldWithItsFullThickness) {
  shell.takenBottom = 40;
  shell.takenTop = 24;
  shell.shrink = 10;
  docking.DockToEdge(DockEdge::Bottom);
  EXPECT_EQ(shell.reserved, (BarRect{0, 695, 1024, 728}));
  docking.DockToEdge(DockEdge::Top);
  EXPECT_EQ(shell.reserved, (BarRect{0, 24, 1024, 57}));
  EXPECT_EQ(window.rect, (BarRect{0, 24, 1025, 58}));
}

// A neighbour below the bar goes: the bar follows down to the edge once; the
// notice its own move causes finds the strip unchanged and moves nothing.
TEST_F(AppBarDockingTest, FollowsANeighbourThatWentAndStopsWhenNothingChanged) {
  EXPECT_FALSE(docking.FollowNeighbours());  // not docked yet
  shell.takenBottom = 40;
  docking.DockToEdge(DockEdge::Bottom);
  shell.takenBottom = 0;
  journal.clear();
  EXPECT_TRUE(docking.FollowNeighbours());
  EXPECT_THAT(journal, ElementsAre("QueryPos(Bottom)", "SetPos", "Place"));
  EXPECT_EQ(window.rect, (BarRect{0, 735, 1025, 769}));
  journal.clear();
  EXPECT_FALSE(docking.FollowNeighbours());
  EXPECT_THAT(journal, ElementsAre("QueryPos(Bottom)", "EndQuery"));
}

// A manager that keeps moving the bar is asked a bounded number of times per
// placement, and told about once.
TEST(PlacementWatchTest, AsksAgainABoundedNumberOfTimesPerPlacement) {
  PlacementWatch watch;
  const BarRect strip{0, 767, 1025, 801}, moved{0, 22, 1025, 56};
  watch.Placed(strip);
  EXPECT_EQ(watch.Check(strip), PlacementWatch::Verdict::Fine);
  for (int i = 0; i < PlacementWatch::kMaxAsks; ++i)
    EXPECT_EQ(watch.Check(moved), PlacementWatch::Verdict::AskAgain);
  EXPECT_EQ(watch.Check(moved), PlacementWatch::Verdict::GiveUp);
  EXPECT_EQ(watch.Check(moved), PlacementWatch::Verdict::Fine);
  watch.Placed(strip);
  EXPECT_EQ(watch.Check(moved), PlacementWatch::Verdict::AskAgain);
}

// 20 units of an 8-point dialog font high, 450 across, halves rounded up.
TEST(DialogUnitsTest, TwentyUnitsHighAndFourHundredFiftyAcrossFromTheFontsMeasures) {
  for (auto [fontHeight, pixels] : {std::pair{13, 33}, {12, 30}, {16, 40}}) {
    EXPECT_EQ(DialogUnitsToPixelsY(20, fontHeight), pixels) << fontHeight;
  }
  EXPECT_EQ(DialogUnitsToPixelsY(8, 13), 13);
  // (alphabet width, base unit, 450 units in pixels)
  for (auto [alphabet, base, pixels] :
       {std::tuple{353, 7, 788}, {312, 6, 675}, {363, 7, 788}, {364, 7, 788}, {389, 7, 788}, {390, 8, 900}}) {
    EXPECT_EQ(DialogBaseUnitX(alphabet), base) << alphabet;
    EXPECT_EQ(DialogUnitsToPixelsX(450, base), pixels) << base;
  }
  EXPECT_EQ(DialogUnitsToPixelsX(2, 7), 4);  // 3.5 rounds up
}

}  // namespace
}  // namespace vantrel
