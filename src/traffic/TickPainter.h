#pragma once

#include <cstdint>

#include "traffic/TrafficHistory.h"

namespace vantrel {

// The values of one tick that the drawing shows.
struct TickValues {
  std::uint64_t in = 0;   // the selected interface's received-octet counter, 0 without one
  std::uint64_t out = 0;  // its sent-octet counter
  double rateIn = 0.0;    // bytes per second over the last sample interval
  double rateOut = 0.0;   // (0.0 unless this tick took a sample)
};

// The places where a tick hands over to the drawing, in the order a tick
// calls them.
class TickPainter {
 public:
  virtual ~TickPainter() = default;

  // First step of a sample tick: measures the client area, sets
  // history.historyLength from its width and paints the background.
  virtual void PaintBackground(TrafficHistory& history) = 0;

  // Last step of a sample tick: captions, totals, graphs and speed texts.
  virtual void DrawSample(const TickValues& tick, const TrafficHistory& history) = 0;

  // Every tick that has a baseline: the level meters, from the differences
  // since the previous tick.
  virtual void DrawMeters(std::int64_t deltaIn, std::int64_t deltaOut, const TrafficHistory& history) = 0;

  // Every tick: the surface to the window.
  virtual void CopyToWindow() = 0;
};

}  // namespace vantrel
