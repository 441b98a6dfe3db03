#include "bar/AppBarDocking.h"

#include <string>
#include <tuple>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantrel {
namespace {

using ::testing::ElementsAre;

// A bar service with another bar (or panel) already holding `taken` pixels
// on each edge; it records every call.
class FakeShell final : public AppBarService {
 public:
  void New() override { calls.push_back("New"); }
  void SetAutoHideBar(DockEdge, bool autoHide) override {
    calls.push_back(autoHide ? "SetAutoHideBar(true)" : "SetAutoHideBar(false)");
  }
  void QueryPos(DockEdge edge, BarRect& rc) override {
    calls.push_back("QueryPos");
    const int height = rc.Height();
    if (edge == DockEdge::Top) {
      rc.top += takenTop;
      rc.bottom = rc.top + height - shrink;
    } else {
      rc.bottom -= takenBottom;
      rc.top = rc.bottom - height + shrink;
    }
  }
  void SetPos(DockEdge, BarRect& rc) override {
    calls.push_back("SetPos");
    reserved = rc;
  }
  void Remove() override { calls.push_back("Remove"); }

  int takenTop = 0;
  int takenBottom = 0;
  int shrink = 0;  // how much the query cuts off the proposed strip
  BarRect reserved;
  std::vector<std::string> calls;
};

class FakeWindow final : public DockedWindow {
 public:
  BarRect WindowRect() override { return rect; }
  BarRect DesktopRect() override { return desk; }
  void PlaceTopmost(const BarRect& rc) override {
    rect = rc;
    ++placements;
  }

  BarRect rect{100, 100, 775, 132};  // undocked: 32 pixels thick
  BarRect desk{0, 0, 1024, 768};
  int placements = 0;
};

class AppBarDockingTest : public ::testing::Test {
 protected:
  FakeShell shell;
  FakeWindow window;
  AppBarDocking docking{shell, window};
};

TEST(BarRectArithmeticTest, ProposesAFullWidthStripOnEitherEdge) {
  const BarRect desk{1920, 200, 3200, 1224};
  EXPECT_EQ(ProposeBarRect(desk, 20, DockEdge::Top), (BarRect{1920, 200, 3200, 220}));
  EXPECT_EQ(ProposeBarRect(desk, 20, DockEdge::Bottom), (BarRect{1920, 1204, 3200, 1224}));
}

TEST_F(AppBarDockingTest, FirstDockingRegistersNegotiatesAndPlacesOnePixelLarger) {
  docking.DockToEdge(DockEdge::Bottom);
  EXPECT_THAT(shell.calls, ElementsAre("New", "SetAutoHideBar(false)", "QueryPos", "SetPos"));
  EXPECT_TRUE(docking.registeredWithShell);
  EXPECT_EQ(docking.dockEdge, DockEdge::Bottom);
  EXPECT_EQ(docking.Thickness(), 32);
  EXPECT_EQ(shell.reserved, (BarRect{0, 736, 1024, 768}));
  EXPECT_EQ(window.rect, (BarRect{0, 736, 1025, 769}));  // 1025 x 33
}

// The strip sits beside what others hold on its edge, with its full
// thickness however much the query cut off.
TEST_F(AppBarDockingTest, SitsBesideWhatOthersHoldWithItsFullThickness) {
  shell.takenBottom = 40;
  shell.takenTop = 24;
  shell.shrink = 10;
  docking.DockToEdge(DockEdge::Bottom);
  EXPECT_EQ(shell.reserved, (BarRect{0, 696, 1024, 728}));
  docking.DockToEdge(DockEdge::Top);
  EXPECT_EQ(shell.reserved, (BarRect{0, 24, 1024, 56}));
  EXPECT_EQ(window.rect, (BarRect{0, 24, 1025, 57}));
}

TEST_F(AppBarDockingTest, RedockingKeepsRegistrationAndThickness) {
  docking.DockToEdge(DockEdge::Bottom);
  shell.calls.clear();
  window.desk = {0, 0, 1280, 1024};  // the screen grew
  docking.DockToEdge(DockEdge::Top);
  EXPECT_THAT(shell.calls, ElementsAre("SetAutoHideBar(false)", "QueryPos", "SetPos"));
  EXPECT_EQ(docking.dockEdge, DockEdge::Top);
  EXPECT_EQ(docking.Thickness(), 32);  // not re-read from the docked window
  EXPECT_EQ(window.rect, (BarRect{0, 0, 1281, 33}));
}

TEST(DialogUnitsTest, TwentyUnitsOfAn8PointDialogFont) {
  EXPECT_EQ(DialogUnitsToPixelsY(20, 13), 33);  // 32.5 rounds up
  EXPECT_EQ(DialogUnitsToPixelsY(20, 12), 30);
  EXPECT_EQ(DialogUnitsToPixelsY(20, 16), 40);
  EXPECT_EQ(DialogUnitsToPixelsY(8, 13), 13);
}

TEST(DialogUnitsTest, FourHundredFiftyUnitsAcrossFromTheAlphabetsWidth) {
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
