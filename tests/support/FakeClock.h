#pragma once

#include "traffic/MonotonicClock.h"

namespace vantrel::testing {

// A clock that moves only when told, counting microseconds.
class FakeClock final : public MonotonicClock {
 public:
  static constexpr std::int64_t kFrequency = 1'000'000;

  std::int64_t Frequency() override { return kFrequency; }
  std::int64_t Now() override { return now; }

  void AdvanceSeconds(double seconds) { now += static_cast<std::int64_t>(seconds * kFrequency); }

  std::int64_t now = 0;
};

}  // namespace vantrel::testing
