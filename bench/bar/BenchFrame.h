#pragma once

// What the drawing benchmarks draw: a full history, a busy tick and the
// sample-tick frame of both.

#include <benchmark/benchmark.h>

#include "bar/BarRenderer.h"
#include "traffic/TickPainter.h"
#include "traffic/TrafficHistory.h"

namespace vantrel {

inline constexpr int kBarHeight = 32;

// A full ring of varied differences, as after five minutes of traffic.
inline TrafficHistory BusyHistory() {
  TrafficHistory h;
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<std::int64_t>(seed >> 8);
  };
  for (int s = 0; s < kHistorySlots; ++s) {
    h.downloadDeltas[s] = next() % 5'000'000;
    h.uploadDeltas[s] = next() % 800'000;
  }
  h.peakDownloadDelta = 5'000'000;
  h.peakUploadDelta = 800'000;
  h.peakDownloadRate = 5'100'000.0;
  h.peakUploadRate = 820'000.0;
  h.writeIndex = 123;
  return h;
}

inline TickValues BusyTick() {
  TickValues t;
  t.in = 3'456'789'012u;
  t.out = 456'789'012u;
  t.rateIn = 2'345'678.0;
  t.rateOut = 123'456.0;
  return t;
}

// One sample tick: background, blocks, meters and the copy to the window.
inline void SampleTickFrame(BarCanvas& canvas, BarRenderer& renderer, TrafficHistory& history,
                            const TickValues& tick) {
  renderer.PaintBackground(history);
  renderer.DrawSample(tick, history);
  renderer.DrawMeters(300'000, 40'000, history);
  renderer.CopyToWindow();
  benchmark::DoNotOptimize(&canvas);
}

}  // namespace vantrel
