#pragma once

#include <cstdint>

#include "traffic/MonotonicClock.h"

namespace vantrel {

// Times the interval between two sample ticks (or between two ticks).
class PerfTimer {
 public:
  explicit PerfTimer(MonotonicClock& clock) : clock_(clock) {}

  void ReadPerfFrequency() { perfFrequency = clock_.Frequency(); }
  void MarkPerfStart() { perfStart = clock_.Now(); }

  // Seconds since the last MarkPerfStart.
  double ElapsedSeconds() {
    perfNow = clock_.Now();
    return static_cast<double>(perfNow - perfStart) / static_cast<double>(perfFrequency);
  }

  // Seconds since the last mark, and the next interval starts now.
  double Lap() {
    const double seconds = ElapsedSeconds();
    perfStart = perfNow;
    return seconds;
  }

  std::int64_t perfFrequency = 1;
  std::int64_t perfStart = 0;
  std::int64_t perfNow = 0;

 private:
  MonotonicClock& clock_;
};

}  // namespace vantrel
