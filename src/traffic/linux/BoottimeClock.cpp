#include <time.h>

#include "traffic/MonotonicClock.h"

namespace vantrel {
namespace {

// CLOCK_BOOTTIME keeps counting while the machine is suspended, so a sample
// interval that spans a suspend is averaged over its real length.
class BoottimeClock final : public MonotonicClock {
 public:
  std::int64_t Frequency() override { return 1'000'000'000; }
  std::int64_t Now() override {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
  }
};

}  // namespace

std::unique_ptr<MonotonicClock> CreatePlatformClock() {
  return std::make_unique<BoottimeClock>();
}

}  // namespace vantrel
