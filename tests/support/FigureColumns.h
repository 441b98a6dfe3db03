#pragma once

// The bar's figures drawn with a platform's glyphs: in every unit the widest
// figures stay inside their blocks and off the graphs, and the digits share
// one width.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "bar/ColorAdjust.h"
#include "bar/PixelBufferCanvas.h"
#include "support/BarFrames.h"

namespace vantrel::testing {

// A frame of the narrowest bar (640 x 32: the shortest graphs) with the
// widest figures: 2^64 bytes, 100 Gbit/s, four-digit speeds.
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
  return {s.pixels, s.pixels + 640 * 32};
}

inline void ExpectFiguresKeepToTheirColumns(GlyphSource& glyphs) {
  for (const std::int32_t units : {0, 1, 2}) {
    SCOPED_TRACE(units);
    BarSettings settings{.connection = "", .textColor = MakeColor(255, 255, 255), .units = units};
    const auto white = WidestFiguresFrame(glyphs, settings);
    settings.textColor = 0;
    const auto black = WidestFiguresFrame(glyphs, settings);
    settings.graphColor = MakeColor(90, 90, 90);
    const auto grey = WidestFiguresFrame(glyphs, settings);
    // The frames of the blocks: columns dark from top to bottom, found with
    // the text in that very colour, so that no figure can hide one.
    settings.textColor = AdjustColor(settings.bgColor, -100);
    const auto framed = WidestFiguresFrame(glyphs, settings);
    std::set<int> figures, graphs;  // the columns that change with the text and the graph colour
    std::vector<int> frames;
    for (int x = 0; x < 640; ++x) {
      bool frame = true;
      for (std::size_t i = static_cast<std::size_t>(x); i < white.size(); i += 640) {
        if (white[i] != black[i]) figures.insert(x);
        if (grey[i] != black[i]) graphs.insert(x);
        frame = frame && framed[i] == ToPixel(settings.textColor);
      }
      if (frame) frames.push_back(x);
    }
    ASSERT_EQ(frames.size(), 4u) << "the two blocks' left and right frames";
    ASSERT_FALSE(figures.empty());
    for (const int x : figures) {
      EXPECT_TRUE((x > frames[0] && x < frames[1]) || (x > frames[2] && x < frames[3])) << "outside at x " << x;
      EXPECT_FALSE(graphs.contains(x)) << "on a graph at x " << x;
    }
  }
}

// Figures that do not shift as their digits change need digits of one width.
inline void ExpectDigitsOfOneWidth(GlyphSource& glyphs) {
  PixelBufferCanvas canvas(glyphs);
  canvas.SetClientSize({10, 10});
  TrafficHistory history;
  BarRenderer(canvas, BarSettings{}).PaintBackground(history);  // the surface, in the bar's font
  canvas.BeginText();
  const int zero = canvas.MeasureText("0").cx;
  EXPECT_GT(zero, 0);
  for (const char* digit : {"1", "2", "3", "4", "5", "6", "7", "8", "9"}) {
    EXPECT_EQ(canvas.MeasureText(digit).cx, zero) << digit;
  }
  canvas.EndText();
}

}  // namespace vantrel::testing
