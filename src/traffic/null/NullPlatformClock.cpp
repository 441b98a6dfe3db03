#include <chrono>

#include "traffic/MonotonicClock.h"

namespace vantrel {
namespace {

// The standard library's steady clock: monotonic, though it may stop while
// the machine sleeps.
class SteadyClock final : public MonotonicClock {
 public:
  std::int64_t Frequency() override {
    using Period = std::chrono::steady_clock::period;
    return Period::den / Period::num;
  }
  std::int64_t Now() override { return std::chrono::steady_clock::now().time_since_epoch().count(); }
};

}  // namespace

std::unique_ptr<MonotonicClock> CreatePlatformClock() { return std::make_unique<SteadyClock>(); }

}  // namespace vantrel
