// A day in the life of the bar's tick: 24 hours of 200 ms ticks against a
// scripted interface table whose counters reset, whose rows vanish and come
// back, whose interface is re-created, which cannot be read now and then,
// which carries bursts, and whose counters cross 4 GiB (on 64-bit counters)
// or wrap there (on 32-bit ones). Nothing the bar stores or draws may be
// negative or more than the traffic scripted, and once warmed up a tick takes
// nothing from the heap. This program counts its heap allocations itself.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/ScriptedInterfaceTable.h"
#include "traffic/TrafficMonitor.h"

namespace {

// Counted only while a tick runs, on the test's one thread.
bool g_counting = false;
std::uint64_t g_allocations = 0;
std::uint64_t g_releases = 0;

void* Allocate(std::size_t size) {
  if (g_counting) ++g_allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void Release(void* block) noexcept {
  if (block != nullptr && g_counting) ++g_releases;
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* block) noexcept {
  Release(block);
}
void operator delete[](void* block) noexcept {
  Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
  Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  Release(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  Release(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  Release(block);
}

namespace vantrel {
namespace {

constexpr std::int64_t kTicks = 24 * 3600 * 5;
constexpr std::int64_t kWarmUpTicks = 5 * 60;  // the first simulated minute
constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;

// The schedule's dice: splitmix64 from a fixed seed, so every run plays the
// same day.
class Dice {
 public:
  explicit Dice(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
  }
  std::uint64_t Below(std::uint64_t n) { return Next() % n; }
  bool OneIn(std::uint64_t n) { return Below(n) == 0; }

 private:
  std::uint64_t state_;
};

// What the script knew at one reading of the table: whether the watched
// interface could be seen, which counting era it was in (a reset, a
// re-creation or a 32-bit wrap starts a new one), and every byte it has
// carried in either direction since the day began, over all its lives.
struct Truth {
  bool visible = false;
  std::uint64_t era = 0;
  std::uint64_t carriedIn = 0;
  std::uint64_t carriedOut = 0;
  std::int64_t clock = 0;
};

// Two readings in the same era, both of which saw the interface: the bytes
// carried between them are exactly what the counters grew by.
bool Unbroken(const Truth& from, const Truth& to) {
  return from.visible && to.visible && from.era == to.era;
}

// Keeps what one tick handed to the drawing, in fixed fields.
class TickLog final : public TickPainter {
 public:
  void PaintBackground(TrafficHistory& history) override {
    history.historyLength = HistoryLengthForWidth(width);
    sampled = true;
    slot = history.writeIndex;
  }
  void DrawSample(const TickValues& values, const TrafficHistory&) override { tick = values; }
  void DrawMeters(std::int64_t in, std::int64_t out, const TrafficHistory&) override {
    metered = true;
    meterIn = in;
    meterOut = out;
  }
  void CopyToWindow() override {}

  void Clear() {
    sampled = false;
    metered = false;
  }

  std::int64_t width = 1920;
  bool sampled = false;
  std::int32_t slot = 0;
  TickValues tick;
  bool metered = false;
  std::int64_t meterIn = 0;
  std::int64_t meterOut = 0;
};

// Faults found inside the loop, kept without the heap: how many, and the
// first one in words.
struct Faults {
  template <typename... Args>
  void Add(std::int64_t tickNumber, const char* format, Args... args) {
    if (count++ > 0) return;
    const int used = std::snprintf(first, sizeof first, "tick %lld: ", static_cast<long long>(tickNumber));
    std::snprintf(first + used, sizeof first - static_cast<std::size_t>(used), format, args...);
  }
  std::int64_t count = 0;
  char first[256] = "";
};

// The watched interface "eth0" and the schedule that happens to it.
class ScriptedDay {
 public:
  ScriptedDay(testing::ScriptedInterfaceTable& table, testing::FakeClock& clock, TickLog& painter)
      : table_(table), clock_(clock), painter_(painter), dice_(20240611) {
    table_.rows.reserve(8);
    table_.Add("lo", kIfTypeLoopback, 1);
    table_.Add("wlan0", kIfTypeEthernet, 2);
    table_.Add("eth0", kIfTypeEthernet, identity_);
    table_.Add("ppp0", kIfTypePpp, 4);
  }

  // Plays the events of one tick and moves the clock on by about 200 ms.
  // Returns what the next reading of the table will see.
  Truth Step() {
    ScheduleEvents();
    Carry();
    Publish();
    clock_.now += 150'000 + static_cast<std::int64_t>(dice_.Below(100'001));
    table_.readable = unreadableTicks_ == 0;
    if (unreadableTicks_ > 0) --unreadableTicks_;
    return {listed_ && table_.readable, era_, carriedIn_, carriedOut_, clock_.now};
  }

  // What the day held, for the report.
  std::int64_t resets = 0, vanishings = 0, recreations = 0, wraps = 0, crossings = 0, bursts = 0,
               blackouts = 0;

 private:
  InterfaceRow* Find(const char* name) {
    for (InterfaceRow& row : table_.rows) {
      if (row.description == name) return &row;
    }
    return nullptr;
  }

  void Remove(const char* name) {
    for (auto it = table_.rows.begin(); it != table_.rows.end(); ++it) {
      if (it->description == name) {
        table_.rows.erase(it);
        return;
      }
    }
  }

  // A row comes back anywhere in the table.
  void Insert(const char* name, std::uint32_t type, std::uint32_t identity) {
    InterfaceRow row;
    row.description = name;
    row.type = type;
    row.identity = identity;
    table_.rows.insert(table_.rows.begin() + static_cast<std::ptrdiff_t>(dice_.Below(table_.rows.size() + 1)),
                       row);
  }

  void ScheduleEvents() {
    if (listed_ && dice_.OneIn(4000)) {
      // The row leaves the table for up to eight seconds; the interface
      // itself keeps counting.
      Remove("eth0");
      listed_ = false;
      hiddenTicks_ = 1 + static_cast<std::int64_t>(dice_.Below(40));
      ++vanishings;
    } else if (!listed_ && --hiddenTicks_ == 0) {
      Insert("eth0", kIfTypeEthernet, identity_);
      listed_ = true;
    }
    if (dice_.OneIn(4000)) {
      in_ = out_ = 0;
      ++era_;
      ++resets;
    }
    if (dice_.OneIn(4000)) {
      // A new interface of the same name: a new identity, 32-bit counters
      // now and then, and counts that start anywhere (a fresh link starts at
      // zero, one moved in from elsewhere keeps its count).
      identity_ = nextIdentity_++;
      narrow_ = dice_.OneIn(4);
      switch (dice_.Below(3)) {
        case 0:
          in_ = out_ = 0;
          break;
        case 1:
          in_ = out_ = k4GiB - dice_.Below(std::uint64_t{1} << 26);
          break;
        default:
          in_ = dice_.Below(std::uint64_t{1} << 44);
          out_ = dice_.Below(std::uint64_t{1} << 40);
      }
      ++era_;
      ++recreations;
    }
    if (unreadableTicks_ == 0 && dice_.OneIn(6000)) {
      unreadableTicks_ = 1 + static_cast<std::int64_t>(dice_.Below(15));
      ++blackouts;
    }
    if (dice_.OneIn(3000)) {
      if (Find("ppp0") != nullptr) {
        Remove("ppp0");
      } else {
        Insert("ppp0", kIfTypePpp, 4);
      }
    }
    if (dice_.OneIn(20000)) {
      constexpr std::int64_t kWidths[] = {640, 900, 1100, 1920};
      painter_.width = kWidths[dice_.Below(4)];
    }
    if (burstTicks_ == 0 && dice_.OneIn(1500)) {
      burstTicks_ = 1 + static_cast<std::int64_t>(dice_.Below(50));
      burstBytes_ = 1'000'000 + dice_.Below(50'000'000);
      ++bursts;
    }
  }

  // The traffic of one tick, on the interface whether it is listed or not.
  void Carry() {
    std::uint64_t down = dice_.Below(200'000);
    const std::uint64_t up = dice_.Below(40'000);
    if (burstTicks_ > 0) {
      down += burstBytes_;
      --burstTicks_;
    }
    const auto add = [this](std::uint64_t& counter, std::uint64_t bytes) {
      const bool crossed = (counter / k4GiB) != ((counter + bytes) / k4GiB);
      counter += bytes;
      if (!crossed) return;
      if (narrow_) {
        ++era_;
        ++wraps;
      } else {
        ++crossings;
      }
    };
    add(in_, down);
    add(out_, up);
    carriedIn_ += down;
    carriedOut_ += up;
  }

  void Publish() {
    if (InterfaceRow* row = Find("eth0")) {
      row->identity = identity_;
      row->inOctets = narrow_ ? in_ % k4GiB : in_;
      row->outOctets = narrow_ ? out_ % k4GiB : out_;
    }
    if (InterfaceRow* lo = Find("lo")) lo->inOctets = lo->outOctets += 1000;
    if (InterfaceRow* wlan = Find("wlan0")) wlan->inOctets += dice_.Below(1 << 20);
  }

  testing::ScriptedInterfaceTable& table_;
  testing::FakeClock& clock_;
  TickLog& painter_;
  Dice dice_;
  std::uint32_t identity_ = 3;
  std::uint32_t nextIdentity_ = 10;
  bool listed_ = true;
  bool narrow_ = false;
  std::int64_t hiddenTicks_ = 0;
  std::int64_t unreadableTicks_ = 0;
  std::int64_t burstTicks_ = 0;
  std::uint64_t burstBytes_ = 0;
  std::uint64_t in_ = 0;
  std::uint64_t out_ = 0;
  std::uint64_t era_ = 0;
  std::uint64_t carriedIn_ = 0;
  std::uint64_t carriedOut_ = 0;
};

// The figures one direction is held against.
struct Direction {
  std::int64_t largestInterval = 0;  // bytes scripted into one sample interval
  double fastestInterval = 0.0;      // those bytes over the interval's length
  std::int64_t largestUnbroken = 0;  // the same over intervals the bar could measure
  double fastestUnbroken = 0.0;
};

// One direction's figures at a sample tick: the difference stored in the
// ring and the rate drawn against the bytes carried over the interval.
void CheckSample(std::int64_t tickNumber, const char* name, std::int64_t stored, double rate,
                 std::uint64_t carried, bool unbroken, double seconds, Direction& d, Faults& faults) {
  const auto bytes = static_cast<std::int64_t>(carried);
  if (stored < 0 || stored > bytes) {
    faults.Add(tickNumber, "%s difference %lld outside 0..%lld", name, static_cast<long long>(stored),
               static_cast<long long>(bytes));
  }
  if (unbroken && stored != bytes) {
    faults.Add(tickNumber, "%s difference %lld, but %lld bytes were carried", name,
               static_cast<long long>(stored), static_cast<long long>(bytes));
  }
  const double expectedRate = static_cast<double>(stored) / seconds;
  if (rate < 0.0 || rate > expectedRate * (1 + 1e-9) + 1e-9 || rate < expectedRate * (1 - 1e-9)) {
    faults.Add(tickNumber, "%s rate %.3f for %lld bytes in %.6f s", name, rate,
               static_cast<long long>(stored), seconds);
  }
  if (bytes > d.largestInterval) d.largestInterval = bytes;
  if (static_cast<double>(bytes) / seconds > d.fastestInterval)
    d.fastestInterval = static_cast<double>(bytes) / seconds;
  if (unbroken && bytes > d.largestUnbroken) d.largestUnbroken = bytes;
  if (unbroken && static_cast<double>(bytes) / seconds > d.fastestUnbroken) {
    d.fastestUnbroken = static_cast<double>(bytes) / seconds;
  }
}

// The peaks lie between the largest interval the bar could measure and the
// largest one scripted.
void CheckPeaks(std::int64_t tickNumber, const char* name, std::int64_t peakDelta, double peakRate,
                const Direction& d, Faults& faults) {
  if (peakDelta < d.largestUnbroken || peakDelta > d.largestInterval) {
    faults.Add(tickNumber, "%s peak %lld outside %lld..%lld", name, static_cast<long long>(peakDelta),
               static_cast<long long>(d.largestUnbroken), static_cast<long long>(d.largestInterval));
  }
  if (peakRate < d.fastestUnbroken * (1 - 1e-9) || peakRate > d.fastestInterval * (1 + 1e-9)) {
    faults.Add(tickNumber, "%s peak rate %.1f outside %.1f..%.1f", name, peakRate, d.fastestUnbroken,
               d.fastestInterval);
  }
}

TEST(LongRunTest, ADayOfResetsRecreationsAndBurstsLeavesNoNegativeOrPhantomFigureAndNoHeapGrowth) {
  testing::ScriptedInterfaceTable table;
  testing::FakeClock clock;
  TickLog painter;
  ScriptedDay day(table, clock, painter);
  TrafficMonitor monitor(table, clock);
  std::string connection = "eth0";
  monitor.ResetHistory();
  monitor.StartTimeBase();

  Faults faults;
  Direction down;
  Direction up;
  Truth lastTick;
  Truth lastSample;
  bool sampledBefore = false;
  std::int64_t unbrokenSamples = 0;
  std::uint64_t warmUpAllocations = 0;
  const auto started = std::chrono::steady_clock::now();

  for (std::int64_t t = 0; t < kTicks; ++t) {
    const Truth now = day.Step();
    painter.Clear();
    g_counting = true;
    monitor.UpdateBar(connection, painter);
    g_counting = false;
    if (t + 1 == kWarmUpTicks) {
      warmUpAllocations = g_allocations;
      g_allocations = g_releases = 0;
    }
    const TrafficHistory& h = monitor.History();

    if (painter.metered) {
      const std::uint64_t carriedIn = now.carriedIn - lastTick.carriedIn;
      const std::uint64_t carriedOut = now.carriedOut - lastTick.carriedOut;
      const bool unbroken = Unbroken(lastTick, now);
      if (painter.meterIn < 0 || painter.meterIn > static_cast<std::int64_t>(carriedIn) ||
          (unbroken && painter.meterIn != static_cast<std::int64_t>(carriedIn))) {
        faults.Add(t, "download meter %lld for %llu bytes carried", static_cast<long long>(painter.meterIn),
                   static_cast<unsigned long long>(carriedIn));
      }
      if (painter.meterOut < 0 || painter.meterOut > static_cast<std::int64_t>(carriedOut) ||
          (unbroken && painter.meterOut != static_cast<std::int64_t>(carriedOut))) {
        faults.Add(t, "upload meter %lld for %llu bytes carried", static_cast<long long>(painter.meterOut),
                   static_cast<unsigned long long>(carriedOut));
      }
    } else if (t > 0) {
      faults.Add(t, "%s", "no meters drawn");
    }

    if (painter.sampled) {
      if (sampledBefore) {
        const double seconds =
            static_cast<double>(now.clock - lastSample.clock) / testing::FakeClock::kFrequency;
        const bool unbroken = Unbroken(lastSample, now);
        unbrokenSamples += unbroken ? 1 : 0;
        const auto slot = static_cast<std::size_t>(painter.slot);
        CheckSample(t, "download", h.downloadDeltas[slot], painter.tick.rateIn,
                    now.carriedIn - lastSample.carriedIn, unbroken, seconds, down, faults);
        CheckSample(t, "upload", h.uploadDeltas[slot], painter.tick.rateOut,
                    now.carriedOut - lastSample.carriedOut, unbroken, seconds, up, faults);
      }
      CheckPeaks(t, "download", h.peakDownloadDelta, h.peakDownloadRate, down, faults);
      CheckPeaks(t, "upload", h.peakUploadDelta, h.peakUploadRate, up, faults);
      for (std::size_t i = 0; i < kHistorySlots; ++i) {
        if (h.downloadDeltas[i] < 0 || h.uploadDeltas[i] < 0)
          faults.Add(t, "negative difference in slot %zu", i);
      }
      lastSample = now;
      sampledBefore = true;
    }
    lastTick = now;
  }

  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const TrafficHistory& h = monitor.History();
  std::cout << "ticks " << kTicks << ", simulated hours " << static_cast<double>(clock.now) / 3.6e9
            << ", wall seconds " << seconds << "\n"
            << "resets " << day.resets << ", vanishings " << day.vanishings << ", re-creations "
            << day.recreations << ", 32-bit wraps " << day.wraps << ", 4 GiB crossings " << day.crossings
            << ", bursts " << day.bursts << ", unreadable spells " << day.blackouts << "\n"
            << "sample intervals measured in full " << unbrokenSamples << " of " << kTicks / 5 << "\n"
            << "peak download " << h.peakDownloadDelta << " B (largest interval scripted "
            << down.largestInterval << " B), peak rate " << h.peakDownloadRate << " B/s\n"
            << "heap: " << warmUpAllocations << " allocations in the first minute, " << g_allocations
            << " allocations and " << g_releases << " releases after it\n";

  EXPECT_EQ(faults.count, 0) << faults.first;
  EXPECT_EQ(g_allocations, 0u) << "a warmed-up tick allocated";
  EXPECT_EQ(g_releases, 0u) << "a warmed-up tick released memory";
  // The day really held each kind of event, and most intervals were
  // measured in full.
  EXPECT_GT(day.resets, 50);
  EXPECT_GT(day.vanishings, 50);
  EXPECT_GT(day.recreations, 50);
  EXPECT_GT(day.wraps, 5);
  EXPECT_GT(day.crossings, 20);
  EXPECT_GT(day.blackouts, 20);
  EXPECT_GT(unbrokenSamples, kTicks / 5 * 9 / 10);
  EXPECT_GT(h.peakDownloadDelta, 50'000'000) << "the bursts never reached the peak";
}

}  // namespace
}  // namespace vantrel
