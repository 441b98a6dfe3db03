#pragma once

#include <cstdint>
#include <string_view>

#include "bar/BarCanvas.h"
#include "settings/BarSettings.h"
#include "traffic/QuantityFormat.h"
#include "traffic/TickPainter.h"
#include "traffic/TrafficHistory.h"

namespace vantrel {

// Paints the bar: on a sample tick the background, the download and upload
// blocks (caption, total, graph, speeds) and the meters; on the other ticks
// only the two level meters. Everything is drawn on the canvas's off-screen
// surface, which is then copied to the window.
//
// The colours are read from the live settings on every drawing step, so a
// changed record shows from the next sample tick on.
class BarRenderer final : public TickPainter {
 public:
  BarRenderer(BarCanvas& canvas, const BarSettings& settings);

  // TickPainter: the drawing steps of a tick, in the order a tick runs them.
  void PaintBackground(TrafficHistory& history) override;
  void DrawSample(const TickValues& tick, const TrafficHistory& history) override;
  void DrawMeters(std::int64_t deltaIn, std::int64_t deltaOut, const TrafficHistory& history) override;
  void CopyToWindow() override;

  // The window asks for a repaint: the surface is copied again, if there is
  // one. Before the first sample tick there is nothing to copy.
  void OnPaint();

  // The display mode changed: the next sample tick rebuilds the surface at
  // the client size of that moment.
  void OnDisplayChange() { displayChanged = true; }

  // Drops the surface (at shutdown).
  void ReleaseSurface();

  // The client size measured on the last sample tick.
  std::int32_t barWidth = 0;
  std::int32_t barHeight = 0;
  // Set by a display change; tells PaintBackground to rebuild the surface.
  bool displayChanged = false;

 private:
  struct Block;
  void DrawBlock(const Block& block, const TrafficHistory& history);
  // A figure in `units` in its column, from `left` up to `right`.
  void DrawFigure(Units units, std::int64_t left, std::int64_t right, int y, std::string_view figure);
  void DrawMeter(std::int64_t delta, std::int64_t peak, int left, int right, Color color);
  void Line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Color color);

  BarCanvas& canvas_;
  const BarSettings& settings_;
  // The whole surface was painted since the last copy; otherwise only the
  // meters changed.
  bool wholeSurfaceChanged_ = false;
};

// value * factor / peak, truncated towards zero, as a graph column or meter
// level scales a difference against its peak. 0 when value, factor or peak
// is not positive. Exact whenever value * factor fits in 64 bits; beyond
// that it is computed in long double and saturates instead of overflowing.
std::int64_t ScaleToPeak(std::int64_t value, std::int64_t factor, std::int64_t peak);

// The area of the surface that the two level meters cover.
PixelRect MeterArea(std::int32_t barWidth);

}  // namespace vantrel
