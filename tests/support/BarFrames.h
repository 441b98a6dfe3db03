#pragma once

// One frame of the bar drawn from a fixed traffic history, and a canvas
// wrapper that notes where texts went: for comparing the pixels of one
// canvas with another's, or of one platform with another's.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "bar/BarCanvas.h"
#include "bar/BarRenderer.h"
#include "traffic/TrafficHistory.h"

namespace vantrel {

// Forwards to another canvas and notes the cell of every text (two pixels
// wider on each side, for glyphs that reach past their advance); with
// `drawText` false the texts are measured but not drawn.
class TextCells final : public BarCanvas {
 public:
  TextCells(BarCanvas& inner, bool drawText) : inner_(inner), drawText_(drawText) {}
  PixelSize ClientSize() const override { return inner_.ClientSize(); }
  bool HasSurface() const override { return inner_.HasSurface(); }
  bool CreateSurface(PixelSize size) override { return inner_.CreateSurface(size); }
  void ReleaseSurface() override { inner_.ReleaseSurface(); }
  void DrawLine(int x1, int y1, int x2, int y2, Color color) override {
    inner_.DrawLine(x1, y1, x2, y2, color);
  }
  void BeginText() override { inner_.BeginText(); }
  void EndText() override { inner_.EndText(); }
  TextExtent MeasureText(std::string_view text) override { return inner_.MeasureText(text); }
  void SetTextColor(Color color) override { inner_.SetTextColor(color); }
  void DrawTextAt(int x, int y, std::string_view text) override {
    const TextExtent extent = inner_.MeasureText(text);
    cells.push_back({x - 2, y - 2, x + extent.cx + 2, y + extent.cy + 2});
    if (drawText_) inner_.DrawTextAt(x, y, text);
  }
  void CopyToWindow(const PixelRect& area) override { inner_.CopyToWindow(area); }

  std::vector<PixelRect> cells;

 private:
  BarCanvas& inner_;
  bool drawText_;
};

// True when (x, y) lies in one of `cells`.
inline bool InAnyCell(const std::vector<PixelRect>& cells, int x, int y) {
  return std::any_of(cells.begin(), cells.end(), [&](const PixelRect& c) {
    return x >= c.left && x < c.right && y >= c.top && y < c.bottom;
  });
}

// A full ring of varied differences and a busy tick.
inline void FillHistory(TrafficHistory& h) {
  std::uint32_t seed = 977;
  for (int s = 0; s < kHistorySlots; ++s) {
    seed = seed * 1664525u + 1013904223u;
    h.downloadDeltas[s] = (seed >> 8) % 5'000'000;
    h.uploadDeltas[s] = (seed >> 4) % 900'000;
  }
  h.peakDownloadDelta = 5'000'000;
  h.peakUploadDelta = 900'000;
  h.peakDownloadRate = 5'100'000.0;
  h.peakUploadRate = 910'000.0;
  h.writeIndex = 77;
}

// One sample tick of that history on `canvas` (not copied to the window);
// the cells of its texts.
inline std::vector<PixelRect> DrawBarFrame(BarCanvas& canvas, const BarSettings& settings, bool drawText) {
  TextCells cells(canvas, drawText);
  BarRenderer renderer(cells, settings);
  TrafficHistory history;
  FillHistory(history);
  renderer.PaintBackground(history);
  renderer.DrawSample({3'456'789'012u, 456'789'012u, 2'345'678.0, 123'456.0}, history);
  renderer.DrawMeters(300'000, 40'000, history);
  return cells.cells;
}

}  // namespace vantrel
