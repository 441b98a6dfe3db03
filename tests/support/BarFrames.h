#pragma once

// One frame of the bar drawn from a fixed traffic history: for comparing
// the pixels of one canvas with another's, or of one platform with another's.

#include <cstdint>

#include "bar/BarCanvas.h"
#include "bar/BarRenderer.h"
#include "traffic/TrafficHistory.h"

namespace vantrel {

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

// One sample tick of that history on `canvas` (not copied to the window).
inline void DrawBarFrame(BarCanvas& canvas, const BarSettings& settings) {
  BarRenderer renderer(canvas, settings);
  TrafficHistory history;
  FillHistory(history);
  renderer.PaintBackground(history);
  renderer.DrawSample({3'456'789'012u, 456'789'012u, 2'345'678.0, 123'456.0}, history);
  renderer.DrawMeters(300'000, 40'000, history);
}

}  // namespace vantrel
