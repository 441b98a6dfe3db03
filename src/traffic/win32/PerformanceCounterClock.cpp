#include <windows.h>

#include "traffic/MonotonicClock.h"

namespace vantrel {
namespace {

// The performance counter: the system's high-resolution monotonic count,
// at a frequency fixed at boot.
class PerformanceCounterClock final : public MonotonicClock {
 public:
  std::int64_t Frequency() override {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
  }
  std::int64_t Now() override {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
  }
};

}  // namespace

std::unique_ptr<MonotonicClock> CreatePlatformClock() {
  return std::make_unique<PerformanceCounterClock>();
}

}  // namespace vantrel
