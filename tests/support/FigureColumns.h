#pragma once

// The bar's figures drawn with a platform's glyphs: in every unit the widest
// figures stay inside their columns, and the font's digits share one width.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "bar/BarRenderer.h"
#include "bar/ColorAdjust.h"
#include "bar/PixelBufferCanvas.h"
#include "support/BarFrames.h"

namespace vantrel::testing {

// The pixels of one frame of the narrowest bar (640 x 32, the shortest
// graphs) with the widest figures: 2^64 bytes, 100 Gbit/s, four-digit speeds.
inline std::vector<std::uint32_t> WidestFiguresFrame(GlyphSource& glyphs, const BarSettings& settings) {
  PixelBufferCanvas canvas(glyphs);
  canvas.SetClientSize({640, 32});
  BarRenderer renderer(canvas, settings);
  TrafficHistory history;
  FillHistory(history);
  history.peakDownloadRate = 12.5e9;
  history.peakUploadRate = 1023.4 * 1048576;
  renderer.PaintBackground(history);
  renderer.DrawSample({UINT64_MAX, 999'999'999'999u, 124'999.0, 99'999'999.0}, history);
  const SurfaceView s = canvas.Surface();
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < s.height; ++y) pixels.insert(pixels.end(), s.Row(y), s.Row(y) + s.width);
  return pixels;
}

// The columns (x) in which frames `a` and `b` differ.
inline std::set<int> ColumnsThatDiffer(const std::vector<std::uint32_t>& a,
                                       const std::vector<std::uint32_t>& b) {
  std::set<int> columns;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) columns.insert(static_cast<int>(i % 640));
  }
  return columns;
}

inline void ExpectFiguresKeepToTheirColumns(GlyphSource& glyphs) {
  for (const std::int32_t units : {0, 1, 2}) {
    SCOPED_TRACE(units);
    BarSettings settings;
    settings.units = units;
    // The figures are the pixels that change with the text colour, the graphs
    // those that change with the graph colour.
    settings.textColor = MakeColor(255, 255, 255);
    const auto white = WidestFiguresFrame(glyphs, settings);
    settings.textColor = MakeColor(0, 0, 0);
    const auto black = WidestFiguresFrame(glyphs, settings);
    const std::set<int> figures = ColumnsThatDiffer(white, black);
    settings.graphColor = MakeColor(90, 90, 90);
    const std::set<int> graphs = ColumnsThatDiffer(black, WidestFiguresFrame(glyphs, settings));
    // The blocks' frames: the columns drawn dark from top to bottom, found
    // with the text in that very colour so that no figure can hide one.
    settings.textColor = AdjustColor(settings.bgColor, -100);
    const auto framed = WidestFiguresFrame(glyphs, settings);
    std::vector<int> frames;
    for (int x = 0; x < 640; ++x) {
      bool whole = true;
      for (int y = 0; y < 32 && whole; ++y) {
        whole = framed[static_cast<std::size_t>(y * 640 + x)] == ToPixel(settings.textColor);
      }
      if (whole) frames.push_back(x);
    }
    ASSERT_EQ(frames.size(), 4u) << "the two blocks' left and right frames";
    ASSERT_FALSE(figures.empty());
    for (const int x : figures) {
      const bool inBlock = (x > frames[0] && x < frames[1]) || (x > frames[2] && x < frames[3]);
      EXPECT_TRUE(inBlock) << "a figure's pixel outside its block at x " << x;
      EXPECT_FALSE(graphs.contains(x)) << "a figure's pixel on a graph at x " << x;
    }
  }
}

// Figures that do not shift as their digits change need digits of one width.
inline void ExpectDigitsOfOneWidth(GlyphSource& glyphs) {
  PixelBufferCanvas canvas(glyphs);
  canvas.SetClientSize({10, 10});
  BarRenderer renderer(canvas, BarSettings{});
  TrafficHistory history;
  renderer.PaintBackground(history);  // the surface, with the bar's font
  canvas.BeginText();
  const int zero = canvas.MeasureText("0").cx;
  EXPECT_GT(zero, 0);
  for (const char* digit : {"1", "2", "3", "4", "5", "6", "7", "8", "9"}) {
    EXPECT_EQ(canvas.MeasureText(digit).cx, zero) << digit;
  }
  canvas.EndText();
}

}  // namespace vantrel::testing
