#include "bar/BarRenderer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
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
constexpr Color kBlack = MakeColor(0, 0, 0);

class BarRendererTest : public ::testing::Test {
 protected:
  // Colours that no adjustment clamps and that tell every role apart.
  BarSettings settings{.connection = "",
                       .bgColor = MakeColor(100, 110, 120),
                       .textColor = MakeColor(4, 5, 6),
                       .labelColor = MakeColor(1, 2, 3),
                       .graphColor = MakeColor(10, 20, 30),
                       .downloadColor = MakeColor(200, 0, 0),
                       .uploadColor = MakeColor(0, 0, 200)};
  Canvas canvas;
  BarRenderer renderer{canvas, settings};
  TrafficHistory history;
};

// A 1025 x 32 bar whose "Download" measures 62 x 15.
TEST_F(BarRendererTest, LaysOutBothBlocksAndTheMetersOfA1025By32Bar) {
  history.peakDownloadDelta = 1000;
  history.downloadDeltas[0] = 1000;  // oldest sample: full height
  history.downloadDeltas[179] = 1;   // newest: the one-pixel minimum
  history.peakUploadDelta = 500;
  history.uploadDeltas[90] = 250;  // half height
  history.peakDownloadRate = 20480.0;
  history.peakUploadRate = 1536.0;
  renderer.PaintBackground(history);
  canvas.calls.clear();
  renderer.DrawSample({.in = 5 * 1048576, .out = 2048, .rateIn = 10240.0}, history);

  const Color dark = AdjustColor(settings.bgColor, -100);
  const Color light = AdjustColor(settings.bgColor, 100);
  std::vector<Line> expected;
  auto block = [&](int x, int gx) {
    expected.push_back({x - 11, 0, x - 11, 32, dark});
    expected.push_back({x - 10, 0, x - 10, 32, light});
    expected.push_back({x + 387, 0, x + 387, 32, dark});
    expected.push_back({x + 388, 0, x + 388, 32, light});
    for (int k = 0; k < 24; ++k) {
      expected.push_back({gx, 4 + k, gx + 182, 4 + k, AdjustColor(settings.graphColor, 40 * k / 24)});
    }
  };
  // Download block: x = 104, separators 93, 94, 491, 492, graph from x 176 to 357.
  block(104, 176);
  expected.push_back({177, 26, 177, 4, settings.downloadColor});
  expected.push_back({356, 26, 356, 25, settings.downloadColor});
  // Upload block: x = 542, separators 531, 532, 929, 930.
  block(542, 614);
  expected.push_back({705, 26, 705, 15, settings.uploadColor});
  EXPECT_THAT(canvas.All<Line>(), ElementsAreArray(expected));

  const Color label = settings.labelColor;
  const Color text = settings.textColor;
  // Text rows y1 = 2 and y2 = 15; "Speed" measures 35, so values start 40 further.
  EXPECT_THAT(canvas.All<Text>(), ElementsAreArray(std::vector<Text>{{104, 2, "Download", label},
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
                                                                     {846, 15, "   2 KB/s", text}}));
  EXPECT_EQ(canvas.textOutsidePass, 0);
  EXPECT_EQ(canvas.textPasses, 1);
  EXPECT_FALSE(canvas.inTextPass);
}

// Scaled figures stand at the right of their columns: the totals' end two
// pixels before the graph, the speeds' a pixel before the frame. A figure
// too wide for its column starts at its left and is cut at its right.
TEST_F(BarRendererTest, ScaledFiguresStandAtTheRightOfTheirColumns) {
  history.peakDownloadRate = 20480.0;
  history.peakUploadRate = 1536.0;
  settings.units = 1;
  renderer.PaintBackground(history);
  renderer.DrawSample({.in = 5 * 1048576, .out = 2048, .rateIn = 12.5e9}, history);
  settings.units = 2;
  renderer.DrawSample({.in = 5 * 1048576, .out = 2048, .rateIn = 1.25e12}, history);
  using Figure = std::tuple<int, std::string, int, int>;
  std::vector<Figure> figures;
  for (const Text& t : canvas.All<Text>()) {
    if (t.color == settings.textColor) figures.emplace_back(t.x, t.text, t.clip.first, t.clip.second);
  }
  EXPECT_THAT(figures, ElementsAreArray(std::vector<Figure>{{132, "5.0 MB", 104, 174},
                                                            {441, "12 GB/s", 408, 490},
                                                            {441, "20 KB/s", 408, 490},
                                                            {584, "2 KB", 542, 612},
                                                            {886, "0 KB/s", 846, 928},
                                                            {886, "2 KB/s", 846, 928},
                                                            {132, "5.0 MB", 104, 174},
                                                            {408, "10000 Gbit/s", 408, 490},
                                                            {420, "164 kbit/s", 408, 490},
                                                            {584, "2 KB", 542, 612},
                                                            {872, "0 kbit/s", 846, 928},
                                                            {865, "12 kbit/s", 846, 928}}));
}

TEST_F(BarRendererTest, PaintsOneFullWidthBackgroundRowPerPixelRowAndNothingBelowTheBar) {
  auto rows = [](std::vector<int> amounts) {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < static_cast<int>(amounts.size()); ++y) out.emplace_back(y, amounts[y]);
    return out;
  };
  std::vector<int> tall{0, 70, 100, 50, 20};
  tall.resize(57, 0);  // more than 40 gradient rows: a step of 0
  tall.insert(tall.end(), {-20, -40, -60});
  // (height, (y, amount added to bgColor) in drawing order); 32 rows are checked on a real image.
  const std::vector<std::pair<int, std::vector<std::pair<int, int>>>> cases{
      {13, rows({0, 70, 100, 50, 20, 0, 8, 16, 24, 32, 20, 0, -20})},  // a step of 8, ending at +40
      {60, rows(tall)},
      // Without gradient rows the bottom rows follow the bevel directly...
      {8, rows({0, 70, 100, 50, 20, -20, -40, -60})},
      // ...and on lower bars they paint over it.
      {6, {{0, 0}, {1, 70}, {2, 100}, {3, 50}, {4, 20}, {3, -20}, {4, -40}, {5, -60}}},
  };
  for (const auto& [height, expectedRows] : cases) {
    SCOPED_TRACE(height);
    canvas = Canvas();
    canvas.client = {640, height};
    renderer.PaintBackground(history);
    std::vector<Line> expected;
    for (auto [y, amount] : expectedRows) {
      expected.push_back({0, y, 640, y, AdjustColor(settings.bgColor, amount)});
    }
    EXPECT_THAT(canvas.All<Line>(), ElementsAreArray(expected));
  }
}

TEST_F(BarRendererTest, ScalesColumnsToThePeakWithAOnePixelMinimumAndNoneAboveRow5) {
  struct Case {
    std::int64_t value, peak;
    int height;  // 0: no column
  };
  // Any traffic shows; a column never reaches above row 5.
  constexpr std::int64_t k2To61 = std::int64_t{1} << 61;
  const Case cases[] = {{1000, 1000, 22},     {500, 1000, 11},         {999, 1000, 21}, {1, 10 * 1048576, 1},
                        {0, 1000, 0},         {-50, 1000, 0},          {0, 0, 0},       {5000, 1000, 22},
                        {kMax64, kMax64, 22}, {k2To61, 2 * k2To61, 11}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.value << " of " << c.peak);
    canvas.calls.clear();
    history.downloadDeltas[0] = c.value;
    history.peakDownloadDelta = c.peak;
    renderer.PaintBackground(history);
    renderer.DrawSample({}, history);
    EXPECT_EQ(canvas.Columns(settings.downloadColor),
              c.height == 0 ? std::vector<int>{} : std::vector<int>{c.height});
  }
  // Past 64 bits the scaling stays exact or saturates.
  EXPECT_EQ(ScaleToPeak(std::int64_t{3} << 60, 22, std::int64_t{1} << 62), 16);  // 16.5
  EXPECT_EQ(ScaleToPeak(kMax64, 35, 1), kMax64);
}

TEST_F(BarRendererTest, MetersLightSegmentsFromTheBottom) {
  renderer.PaintBackground(history);
  struct Case {
    std::int64_t delta, peak;
    int lit;
  };
  // A fifth of the peak fills a meter; traffic before the first sample (no peak yet) lights one.
  const Case cases[] = {{200, 1000, 7}, {0, 1000, 0},   {1, 10 * 1048576, 1}, {100, 1000, 3}, {5000, 1000, 7},
                        {5, 0, 1},      {-40, 1000, 0}, {kMax64, kMax64, 7},  {kMax64, 1, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.delta << " of " << c.peak);
    history.peakDownloadDelta = c.peak;
    history.peakUploadDelta = c.peak;
    canvas.calls.clear();
    renderer.DrawMeters(c.delta, c.delta, history);
    // Eight pixels wide, two rows a segment, beside each other at the centre.
    std::vector<Line> expected;
    for (auto [left, color] : {std::pair{502, settings.downloadColor}, {514, settings.uploadColor}}) {
      for (int k = 0; k < 7; ++k) {
        const Color shown = k >= 7 - c.lit ? color : kBlack;
        expected.push_back({left, 7 + 3 * k, left + 8, 7 + 3 * k, shown});
        expected.push_back({left, 8 + 3 * k, left + 8, 8 + 3 * k, shown});
      }
    }
    EXPECT_THAT(canvas.All<Line>(), ElementsAreArray(expected));
  }
}

}  // namespace
}  // namespace vantrel
