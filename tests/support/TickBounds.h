#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "traffic/TrafficMonitor.h"

namespace vantrel::testing {

// Keeps what one tick handed to the drawing and holds it, and what the tick
// stored, against the least and the most that can have been carried: no
// figure may be negative or more than the traffic there was. The first few
// faults are told in full.
class TickBounds final : public TickPainter {
 public:
  explicit TickBounds(double tolerance) : tolerance_(tolerance) {}

  void PaintBackground(TrafficHistory& history) override {
    history.historyLength = HistoryLengthForWidth(width);
    slot = history.writeIndex;
  }
  void DrawSample(const TickValues& values, const TrafficHistory&) override { tick_ = values; }
  void DrawMeters(std::int64_t in, std::int64_t out, const TrafficHistory&) override { meter_ = {in, out}; }
  void CopyToWindow() override {}

  // Before each tick: what is not drawn stays -1.
  void Clear() {
    slot = -1;
    meter_ = {-1, -1};
  }

  // After tick `t`, direction `d` (0: download): the meter against what the tick carried; on a sample tick
  // the stored difference against what the interval carried, its rate over the interval's shortest and
  // longest length, and the peaks against the largest and fastest intervals so far.
  void Check(std::int64_t t, int d, const TrafficHistory& h, std::int64_t tickLeast, std::int64_t tickMost,
             std::int64_t least, std::int64_t most, double shortest, double longest) {
    Within(t, "meter", d, meter_[d], tickLeast, tickMost);
    if (slot < 0) return;
    const auto& ring = d == 0 ? h.downloadDeltas : h.uploadDeltas;
    const std::int64_t stored = ring[static_cast<std::size_t>(slot)];
    Within(t, "difference", d, stored, least, most);
    const auto bytes = static_cast<double>(stored);
    Within(t, "rate", d, d == 0 ? tick_.rateIn : tick_.rateOut, bytes / longest * (1 - tolerance_),
           bytes / shortest * (1 + tolerance_));
    largestMost[d] = std::max(largestMost[d], most);
    largestLeast_[d] = std::max(largestLeast_[d], least);
    fastestMost_[d] = std::max(fastestMost_[d], static_cast<double>(most) / shortest);
    fastestLeast_[d] = std::max(fastestLeast_[d], static_cast<double>(least) / longest);
    Within(t, "peak", d, d == 0 ? h.peakDownloadDelta : h.peakUploadDelta, largestLeast_[d], largestMost[d]);
    Within(t, "peak rate", d, d == 0 ? h.peakDownloadRate : h.peakUploadRate,
           fastestLeast_[d] * (1 - tolerance_), fastestMost_[d] * (1 + tolerance_));
    Within(t, "smallest difference in the ring", d, *std::min_element(ring.begin(), ring.end()), 0,
           INT64_MAX);
  }

  std::int64_t width = 1920, slot = -1;
  std::int64_t largestMost[2] = {};
  int faults = 0;

 private:
  template <typename T, typename L, typename H>
  void Within(std::int64_t t, const char* what, int d, T value, L low, H high) {
    if ((value >= low && value <= high) || ++faults > 5) return;
    ADD_FAILURE() << "tick " << t << ": " << (d == 0 ? "download " : "upload ") << what << " " << value
                  << " outside " << low << ".." << high;
  }

  double tolerance_;
  std::array<std::int64_t, 2> meter_ = {-1, -1};
  TickValues tick_;
  std::int64_t largestLeast_[2] = {};
  double fastestMost_[2] = {}, fastestLeast_[2] = {};
};

}  // namespace vantrel::testing
