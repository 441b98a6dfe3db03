#include "bar/BarRenderer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "bar/ColorAdjust.h"
#include "bar/RecordingCanvas.h"

namespace vantrel {
namespace {

using ::testing::ElementsAreArray;
using Canvas = testing::RecordingCanvas;
using Line = Canvas::Line;
using Text = Canvas::Text;

constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();

// Colours that no adjustment clamps (bg +100 and -100 stay in range) and that
// tell every role apart.
BarSettings TestColors() {
  BarSettings s;
  s.bgColor = MakeColor(100, 110, 120);
  s.textColor = MakeColor(4, 5, 6);
  s.labelColor = MakeColor(1, 2, 3);
  s.graphColor = MakeColor(10, 20, 30);
  s.downloadColor = MakeColor(200, 0, 0);
  s.uploadColor = MakeColor(0, 0, 200);
  return s;
}

class BarRendererTest : public ::testing::Test {
 protected:
  // The vertical lines of one series colour, as (x, height) pairs.
  std::vector<std::pair<int, int>> Columns(Color color) const {
    std::vector<std::pair<int, int>> out;
    for (const Line& l : canvas.All<Line>()) {
      if (l.color == color && l.x1 == l.x2) out.emplace_back(l.x1, l.y1 - l.y2);
    }
    return out;
  }

  // Runs the drawing steps of a sample tick.
  void SampleTick(const TickValues& tick = {}) {
    renderer.PaintBackground(history);
    renderer.DrawSample(tick, history);
  }

  BarSettings settings = TestColors();
  Canvas canvas;
  BarRenderer renderer{canvas, settings};
  TrafficHistory history;
};

// ---------------------------------------------------------------------------
// The layout of a 1025 x 32 bar whose "Download" measures 62 x 15.

TEST_F(BarRendererTest, LaysOutBothBlocksOfA1025By32Bar) {
  history.peakDownloadDelta = 1000;
  history.downloadDeltas[0] = 1000;  // oldest sample: full height
  history.downloadDeltas[179] = 1;   // newest: the one-pixel minimum
  history.peakUploadDelta = 500;
  history.uploadDeltas[90] = 250;  // half height
  history.peakDownloadRate = 20480.0;
  history.peakUploadRate = 1536.0;

  renderer.PaintBackground(history);
  EXPECT_EQ(history.historyLength, 180);
  EXPECT_EQ(renderer.barWidth, 1025);
  EXPECT_EQ(renderer.barHeight, 32);

  canvas.calls.clear();
  TickValues tick;
  tick.in = 5 * 1048576;
  tick.out = 2048;
  tick.rateIn = 10240.0;
  renderer.DrawSample(tick, history);

  const Color dark = AdjustColor(settings.bgColor, -100);
  const Color light = AdjustColor(settings.bgColor, 100);
  std::vector<Line> expected;
  auto block = [&](int x, int blockWidth, int gx) {
    expected.push_back({x - 11, 0, x - 11, 32, dark});
    expected.push_back({x - 10, 0, x - 10, 32, light});
    expected.push_back({x + blockWidth - 1, 0, x + blockWidth - 1, 32, dark});
    expected.push_back({x + blockWidth, 0, x + blockWidth, 32, light});
    for (int k = 0; k < 24; ++k) {
      expected.push_back({gx, 4 + k, gx + 182, 4 + k, AdjustColor(settings.graphColor, 40 * k / 24)});
    }
  };
  // Download block: x = 104, separators 93, 94, 491, 492, graph from x 176 to 357.
  block(104, 388, 176);
  expected.push_back({177, 26, 177, 4, settings.downloadColor});
  expected.push_back({356, 26, 356, 25, settings.downloadColor});
  // Upload block: x = 542, separators 531, 532, 929, 930.
  block(542, 388, 614);
  expected.push_back({705, 26, 705, 15, settings.uploadColor});
  EXPECT_THAT(canvas.All<Line>(), ElementsAreArray(expected));
  EXPECT_EQ(expected[2], (Line{491, 0, 491, 32, dark}));
  EXPECT_EQ(expected[32], (Line{929, 0, 929, 32, dark}));

  const Color label = settings.labelColor;
  const Color text = settings.textColor;
  // Text rows y1 = 2 and y2 = 15; "Speed" measures 35, so values start 40 further.
  EXPECT_THAT(canvas.All<Text>(), ElementsAreArray(std::vector<Text>{
                                      {104, 2, "Download", label},
                                      {104, 15, "5.0 MB", text},
                                      {368, 2, "Speed", label},
                                      {408, 2, "  10 KB/s", text},
                                      {368, 15, "Max", label},
                                      {408, 15, "  20 KB/s", text},
                                      {542, 2, "Upload", label},
                                      {542, 15, "2 KB", text},
                                      {806, 2, "Speed", label},
                                      {846, 2, "   0 KB/s", text},
                                      {806, 15, "Max", label},
                                      {846, 15, "   2 KB/s", text},
                                  }));

  std::vector<std::string> measured;
  for (const auto& m : canvas.All<Canvas::Measure>()) measured.push_back(m.text);
  EXPECT_THAT(measured, ElementsAreArray({"Download", "Speed", "Download", "Speed"}));
  EXPECT_EQ(canvas.textOutsidePass, 0);
  EXPECT_TRUE(std::holds_alternative<Canvas::BeginTextPass>(canvas.calls.front()));
  EXPECT_TRUE(std::holds_alternative<Canvas::EndTextPass>(canvas.calls.back()));
}

TEST_F(BarRendererTest, MetersSitAtTheCentreInEightByTwoSegments) {
  history.peakDownloadDelta = 1000;
  renderer.PaintBackground(history);
  canvas.calls.clear();
  renderer.DrawMeters(200, 0, history);  // a fifth of the peak: all seven lit

  std::vector<Line> expected;
  for (int k = 0; k < 7; ++k) {
    expected.push_back({502, 7 + 3 * k, 510, 7 + 3 * k, settings.downloadColor});
    expected.push_back({502, 8 + 3 * k, 510, 8 + 3 * k, settings.downloadColor});
  }
  for (int k = 0; k < 7; ++k) {
    expected.push_back({514, 7 + 3 * k, 522, 7 + 3 * k, MakeColor(0, 0, 0)});
    expected.push_back({514, 8 + 3 * k, 522, 8 + 3 * k, MakeColor(0, 0, 0)});
  }
  EXPECT_THAT(canvas.All<Line>(), ElementsAreArray(expected));
  EXPECT_EQ(MeterArea(1025), (PixelRect{502, 7, 522, 27}));
}

// ---------------------------------------------------------------------------
// Background

struct BackgroundCase {
  int height;
  std::vector<std::pair<int, int>> rows;  // (y, amount added to bgColor), in drawing order
};

class BackgroundTest : public BarRendererTest, public ::testing::WithParamInterface<BackgroundCase> {};

TEST_P(BackgroundTest, PaintsOneFullWidthRowPerPixelRow) {
  canvas.client = {640, GetParam().height};
  renderer.PaintBackground(history);
  std::vector<Line> expected;
  for (auto [y, amount] : GetParam().rows) {
    expected.push_back({0, y, 640, y, AdjustColor(settings.bgColor, amount)});
  }
  EXPECT_THAT(canvas.All<Line>(), ElementsAreArray(expected));
}

std::vector<std::pair<int, int>> Rows(std::vector<int> amounts) {
  std::vector<std::pair<int, int>> rows;
  for (int y = 0; y < static_cast<int>(amounts.size()); ++y) rows.emplace_back(y, amounts[y]);
  return rows;
}

std::vector<std::pair<int, int>> Rows60() {
  std::vector<int> amounts{0, 70, 100, 50, 20};
  amounts.insert(amounts.end(), 52, 0);  // more than 40 rows: a step of 0
  amounts.insert(amounts.end(), {-20, -40, -60});
  return Rows(amounts);
}

INSTANTIATE_TEST_SUITE_P(
    Heights, BackgroundTest,
    // 32 rows are checked on a real image.
    ::testing::Values(  // 5 gradient rows: a step of 8, e = 40.
        BackgroundCase{13, Rows({0, 70, 100, 50, 20, 0, 8, 16, 24, 32, 20, 0, -20})},
        BackgroundCase{60, Rows60()},
        // Without gradient rows the bottom rows follow the bevel directly...
        BackgroundCase{8, Rows({0, 70, 100, 50, 20, -20, -40, -60})},
        // ...and on lower bars they paint over it; nothing lies outside the bar.
        BackgroundCase{6, {{0, 0}, {1, 70}, {2, 100}, {3, 50}, {4, 20}, {3, -20}, {4, -40}, {5, -60}}},
        BackgroundCase{2, {{0, 0}, {1, 70}, {0, -40}, {1, -60}}}));

TEST_F(BarRendererTest, LowBarsDrawNoGraphBackground) {
  canvas.client = {1025, 8};
  SampleTick();
  for (const Line& l : canvas.All<Line>()) {
    // Only background rows and separators: no line starts inside a graph.
    EXPECT_TRUE(l.x1 == 0 || l.x1 == l.x2) << l.x1 << "," << l.y1;
  }
}

// ---------------------------------------------------------------------------
// Graph columns

TEST_F(BarRendererTest, ColumnsRunOldestToNewestFromTheWriteIndex) {
  canvas.client = {700, 32};  // 60 slots
  history.writeIndex = 5;
  history.peakDownloadDelta = 22;
  for (int s = 0; s < 60; ++s) history.downloadDeltas[s] = s % 22;
  SampleTick();

  const auto columns = Columns(settings.downloadColor);
  // Slot 5 is the oldest (leftmost); slots 0, 22 and 44 hold 0 and draw nothing.
  ASSERT_EQ(columns.size(), 57u);
  const int gx = 700 / 2 - (3 * 62 + 60 + 22) - 20 + 62 + 10;
  EXPECT_EQ(columns.front(), std::make_pair(gx + 1, 5));
  EXPECT_EQ(columns.back(), std::make_pair(gx + 60, 4));  // slot 4
  for (const auto& [x, h] : columns) {
    const int slot = (5 + (x - gx - 1)) % 60;
    EXPECT_EQ(h, slot % 22) << "x " << x;
  }
}

struct ColumnCase {
  std::int64_t value;
  std::int64_t peak;
  int height;  // 0: no column
};

class ColumnHeightTest : public BarRendererTest, public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(ColumnHeightTest, ScalesTheSlotToThePeak) {
  history.downloadDeltas[0] = GetParam().value;
  history.peakDownloadDelta = GetParam().peak;
  SampleTick();
  const auto columns = Columns(settings.downloadColor);
  if (GetParam().height == 0) {
    EXPECT_TRUE(columns.empty());
  } else {
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_EQ(columns[0].second, GetParam().height);
  }
}

INSTANTIATE_TEST_SUITE_P(Values, ColumnHeightTest,
                         ::testing::Values(ColumnCase{1000, 1000, 22}, ColumnCase{500, 1000, 11},
                                           ColumnCase{999, 1000, 21},
                                           ColumnCase{1, 10 * 1048576, 1},  // any traffic shows
                                           ColumnCase{0, 1000, 0}, ColumnCase{-50, 1000, 0},
                                           ColumnCase{0, 0, 0},
                                           ColumnCase{5000, 1000, 22},  // never above row 5
                                           ColumnCase{kMax64, kMax64, 22},
                                           ColumnCase{std::int64_t{1} << 61, std::int64_t{1} << 62, 11}));

TEST_F(BarRendererTest, ARingWithoutPeakDrawsNoColumns) {
  SampleTick();
  EXPECT_TRUE(Columns(settings.downloadColor).empty());
  EXPECT_TRUE(Columns(settings.uploadColor).empty());
}

TEST(ScaleToPeakTest, StaysExactOrSaturatesPast64Bits) {
  EXPECT_EQ(ScaleToPeak(std::int64_t{3} << 60, 22, std::int64_t{1} << 62), 16);  // 16.5
  EXPECT_EQ(ScaleToPeak(kMax64, 35, 1), kMax64);
}

// ---------------------------------------------------------------------------
// Level meters

struct MeterCase {
  std::int64_t delta;
  std::int64_t peak;
  int lit;
};

class MeterTest : public BarRendererTest, public ::testing::WithParamInterface<MeterCase> {};

TEST_P(MeterTest, LightsSegmentsFromTheBottom) {
  history.peakDownloadDelta = GetParam().peak;
  history.peakUploadDelta = GetParam().peak;
  renderer.PaintBackground(history);
  canvas.calls.clear();
  renderer.DrawMeters(GetParam().delta, GetParam().delta, history);

  const auto lines = canvas.All<Line>();
  ASSERT_EQ(lines.size(), 28u);
  for (int meter = 0; meter < 2; ++meter) {
    const Color series = meter == 0 ? settings.downloadColor : settings.uploadColor;
    for (int k = 0; k < 7; ++k) {
      const Color want = k >= 7 - GetParam().lit ? series : MakeColor(0, 0, 0);
      EXPECT_EQ(lines[meter * 14 + 2 * k].color, want) << "meter " << meter << " segment " << k;
      EXPECT_EQ(lines[meter * 14 + 2 * k + 1].color, want) << "meter " << meter << " segment " << k;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, MeterTest,
                         ::testing::Values(MeterCase{200, 1000, 7},  // a fifth of the peak fills it
                                           MeterCase{0, 1000, 0}, MeterCase{1, 10 * 1048576, 1},
                                           MeterCase{100, 1000, 3}, MeterCase{5000, 1000, 7},
                                           MeterCase{5, 0, 1},  // traffic before the first sample
                                           MeterCase{-40, 1000, 0}, MeterCase{kMax64, kMax64, 7},
                                           MeterCase{kMax64, 1, 7}));

// ---------------------------------------------------------------------------
// The surface and the copy to the window

TEST_F(BarRendererTest, MakesTheSurfaceOnTheFirstSampleTickAndKeepsItsSize) {
  renderer.OnPaint();
  renderer.CopyToWindow();
  EXPECT_TRUE(canvas.calls.empty());  // nothing to copy before the first sample tick

  SampleTick();
  ASSERT_EQ(canvas.All<Canvas::Create>().size(), 1u);
  EXPECT_EQ(canvas.surfaceSize, (PixelSize{1025, 32}));

  canvas.client = {1300, 40};  // resized without a display change
  canvas.calls.clear();
  SampleTick();
  EXPECT_TRUE(canvas.All<Canvas::Create>().empty());
  EXPECT_EQ(canvas.surfaceSize, (PixelSize{1025, 32}));
  EXPECT_EQ(renderer.barWidth, 1300);
  EXPECT_EQ(history.historyLength, 300);
}

TEST_F(BarRendererTest, ADisplayChangeRebuildsTheSurfaceOnce) {
  SampleTick();
  renderer.OnDisplayChange();
  canvas.client = {1920, 30};
  canvas.calls.clear();
  renderer.PaintBackground(history);
  ASSERT_GE(canvas.calls.size(), 2u);
  EXPECT_TRUE(std::holds_alternative<Canvas::Release>(canvas.calls[0]));
  EXPECT_TRUE(std::holds_alternative<Canvas::Create>(canvas.calls[1]));
  EXPECT_EQ(canvas.surfaceSize, (PixelSize{1920, 30}));
  EXPECT_FALSE(renderer.displayChanged);

  canvas.calls.clear();
  renderer.PaintBackground(history);
  EXPECT_TRUE(canvas.All<Canvas::Release>().empty());
  EXPECT_TRUE(canvas.All<Canvas::Create>().empty());
}

TEST_F(BarRendererTest, WithoutASurfaceNothingIsDrawnAndTheNextSampleTickTriesAgain) {
  canvas.failCreate = true;
  SampleTick();
  renderer.DrawMeters(10, 10, history);
  renderer.CopyToWindow();
  renderer.OnPaint();
  EXPECT_EQ(canvas.calls.size(), 1u);  // the failed attempt only
  EXPECT_EQ(history.historyLength, 180);

  canvas.failCreate = false;
  canvas.calls.clear();
  SampleTick();
  EXPECT_EQ(canvas.All<Canvas::Create>().size(), 1u);
  EXPECT_EQ(canvas.All<Line>().size(), 32u + 2 * (4 + 24));
}

TEST_F(BarRendererTest, CopiesTheWholeSurfaceAfterASampleTickAndOnlyTheMetersOtherwise) {
  SampleTick();
  renderer.DrawMeters(1, 1, history);
  canvas.calls.clear();
  renderer.CopyToWindow();
  renderer.DrawMeters(1, 1, history);
  renderer.CopyToWindow();
  renderer.OnPaint();
  const auto copies = canvas.All<Canvas::Copy>();
  ASSERT_EQ(copies.size(), 3u);
  EXPECT_EQ(copies[0].area, (PixelRect{0, 0, 1025, 32}));
  EXPECT_EQ(copies[1].area, MeterArea(1025));
  EXPECT_EQ(copies[2].area, (PixelRect{0, 0, 1025, 32}));  // a paint request copies it all
}

TEST_F(BarRendererTest, ShowsTheNewColoursOnTheNextSampleTick) {
  SampleTick();
  settings.bgColor = MakeColor(1, 1, 1);
  canvas.calls.clear();
  SampleTick();
  EXPECT_EQ(canvas.All<Line>().front().color, MakeColor(1, 1, 1));
}

}  // namespace
}  // namespace vantrel
