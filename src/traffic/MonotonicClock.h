#pragma once

#include <cstdint>
#include <memory>

namespace vantrel {

// A high-resolution clock that only moves forward and keeps counting while
// the machine sleeps, so that an interval spanning a suspend is measured in
// full.
class MonotonicClock {
 public:
  virtual ~MonotonicClock() = default;
  virtual std::int64_t Frequency() = 0;  // counts per second
  virtual std::int64_t Now() = 0;        // current count
};

// The platform's clock; each platform adapter library defines it.
std::unique_ptr<MonotonicClock> CreatePlatformClock();

}  // namespace vantrel
