// A day of the bar's tick: 24 hours of 200 ms ticks against a scripted table whose counters reset, wrap at
// 4 GiB (32-bit) or cross it (64-bit), whose watched row vanishes, comes back anywhere or is re-created under
// a new identity, which cannot be read now and then and which carries bursts. Nothing stored or drawn may be
// negative or more than the traffic scripted, and a warmed-up tick takes nothing from the heap: this
// program counts its heap calls itself.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <new>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/ScriptedInterfaceTable.h"
#include "support/TickBounds.h"
#include "traffic/TrafficMonitor.h"

namespace {

bool g_counting = false;        // set around each tick, on the test's one thread
std::uint64_t g_heapCalls = 0;  // allocations and releases while counting

void* Allocate(std::size_t size) noexcept {
  if (g_counting) ++g_heapCalls;
  return std::malloc(size == 0 ? 1 : size);
}

void Release(void* block) noexcept {
  if (block != nullptr && g_counting) ++g_heapCalls;
  std::free(block);
}

}  // namespace

// Every form of new and delete the program calls goes to malloc and free, so
// that a sanitizer's own forms never meet a block of the other kind.
void* operator new(std::size_t size) {
  if (void* block = Allocate(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
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

// What befalls the watched "eth0" and its neighbours: each kind on a tick with odds of one in kOneIn, the
// first three as spells of up to kLongest ticks; 32-bit wraps and 4 GiB crossings follow from the traffic.
// kAtLeast: how often each must happen for the day to prove something.
enum Event { kVanish, kUnreadable, kBurst, kReset, kRecreate, kTogglePpp, kResize, kWrap, kCross, kEvents };
constexpr std::uint64_t kOneIn[kWrap] = {4000, 6000, 1500, 4000, 4000, 3000, 20000};
constexpr std::uint64_t kLongest[kWrap] = {40, 15, 50};
constexpr std::int64_t kAtLeast[kEvents] = {50, 20, 100, 50, 50, 50, 10, 5, 20};

// What the script knew at one reading of the table: whether the watched row could be seen, its counting
// era (a reset, a re-creation or a 32-bit wrap starts a new one) and the bytes it carried [down, up] since
// the day began. Between two readings of one era that both saw it, its counters grew by exactly that much.
struct Truth {
  bool visible = false;
  std::uint64_t era = 0, carried[2] = {};
  std::int64_t clock = 0;
};
bool Unbroken(const Truth& from, const Truth& to) {
  return from.visible && to.visible && from.era == to.era;
}

TEST(LongRunTest, ADayOfResetsRecreationsAndBurstsLeavesNoNegativeOrPhantomFigureAndNoHeapGrowth) {
  std::mt19937_64 dice(20240611);  // a fixed seed: every run plays the same day
  const auto below = [&dice](std::uint64_t n) { return dice() % n; };
  testing::ScriptedInterfaceTable table;
  for (const char* name : {"lo", "wlan0", "eth0", "ppp0"}) table.Add(name, kIfTypeEthernet);
  const auto find = [&table](const char* name) {
    return std::find_if(table.rows.begin(), table.rows.end(),
                        [name](auto& row) { return row.description == name; });
  };
  const auto erase = [&table](const char* name) {
    return std::erase_if(table.rows, [name](auto& row) { return row.description == name; }) > 0;
  };
  // A row comes back anywhere in the table.
  const auto insert = [&](const char* name, std::uint32_t identity) {
    table.rows.insert(table.rows.begin() + below(table.rows.size() + 1),
                      InterfaceRow{name, kIfTypeEthernet, identity});
  };
  testing::FakeClock clock;
  testing::TickBounds painter(1e-9);
  TrafficMonitor monitor(table, clock);
  const TrafficHistory& h = monitor.History();
  std::string connection = "eth0";
  monitor.StartTimeBase();

  // The watched interface (it counts on while its row is away), the spells and the day's tally.
  bool narrow = false;
  std::uint64_t burstBytes = 0, counter[2] = {}, spell[kWrap] = {};
  std::int64_t counts[kEvents] = {}, t = 0, unbrokenSamples = 0;
  Truth now, lastTick, lastSample;
  std::uint64_t warmUpHeapCalls = 0;

  for (; t < kTicks; ++t) {
    for (auto& left : spell) left -= left > 0 ? 1 : 0;
    for (int e = 0; e < kWrap; ++e) {
      if (spell[e] > 0 || below(kOneIn[e]) != 0) continue;
      ++counts[e];
      if (e < kReset) spell[e] = 1 + below(kLongest[e]);
      if (e == kVanish) erase("eth0");
      if (e == kBurst) burstBytes = 1'000'000 + below(50'000'000);
      if (e == kReset) counter[0] = counter[1] = 0;
      if (e == kRecreate) {  // 32-bit now and then; new, just short of 4 GiB, or moved in with its count
        narrow = below(4) == 0;
        const auto start = below(3);
        counter[0] = start == 0 ? 0 : start == 1 ? k4GiB - below(1 << 26) : below(k4GiB << 12);
        counter[1] = start == 2 ? below(k4GiB << 8) : counter[0];
      }
      now.era += e == kReset || e == kRecreate ? 1 : 0;
      if (e == kTogglePpp && !erase("ppp0")) insert("ppp0", 4);
      if (e == kResize) painter.width = 640 + 300 * static_cast<std::int64_t>(below(5));  // all ring lengths
    }
    const auto identity = static_cast<std::uint32_t>(3 + 10 * counts[kRecreate]);  // a new one each life
    if (spell[kVanish] == 0 && find("eth0") == table.rows.end()) insert("eth0", identity);
    const std::uint64_t bytes[2] = {below(200'000) + (spell[kBurst] > 0 ? burstBytes : 0), below(40'000)};
    for (int d = 0; d < 2; ++d) {
      if (counter[d] / k4GiB != (counter[d] + bytes[d]) / k4GiB) {
        ++counts[narrow ? kWrap : kCross];
        now.era += narrow ? 1 : 0;
      }
      counter[d] += bytes[d];
      now.carried[d] += bytes[d];
    }
    if (const auto row = find("eth0"); row != table.rows.end()) {
      row->identity = identity;
      row->inOctets = narrow ? counter[0] % k4GiB : counter[0];
      row->outOctets = narrow ? counter[1] % k4GiB : counter[1];
    }
    find("lo")->inOctets = find("lo")->outOctets += 1000;
    find("wlan0")->inOctets += below(1 << 20);
    now.clock = clock.now += 150'000 + static_cast<std::int64_t>(below(100'001));
    table.readable = spell[kUnreadable] == 0;
    now.visible = table.readable && find("eth0") != table.rows.end();

    painter.Clear();
    g_counting = true;
    monitor.UpdateBar(connection, painter);
    g_counting = false;
    if (t + 1 == kWarmUpTicks) std::swap(warmUpHeapCalls, g_heapCalls);

    const bool unbroken = Unbroken(lastSample, now);
    unbrokenSamples += painter.slot >= 0 && t > 0 && unbroken ? 1 : 0;
    const double seconds = static_cast<double>(now.clock - lastSample.clock) / testing::FakeClock::kFrequency;
    for (int d = 0; d < 2 && t > 0; ++d) {
      const auto tickBytes = static_cast<std::int64_t>(now.carried[d] - lastTick.carried[d]);
      const auto sampleBytes = static_cast<std::int64_t>(now.carried[d] - lastSample.carried[d]);
      painter.Check(t, d, h, Unbroken(lastTick, now) ? tickBytes : 0, tickBytes, unbroken ? sampleBytes : 0,
                    sampleBytes, seconds, seconds);
    }
    if (painter.slot >= 0) lastSample = now;
    lastTick = now;
  }

  std::int64_t events = 0;
  for (const std::int64_t count : counts) events += count;
  std::cout << "ticks " << kTicks << ", simulated hours " << static_cast<double>(clock.now) / 3.6e9
            << ", events " << events << ", peak download " << h.peakDownloadDelta
            << " B (largest interval scripted " << painter.largestMost[0] << " B), heap calls "
            << warmUpHeapCalls << " in the first minute, " << g_heapCalls << " after\n";
  EXPECT_EQ(painter.faults, 0);
  EXPECT_EQ(g_heapCalls, 0u) << "a warmed-up tick used the heap";
  for (int e = 0; e < kEvents; ++e) EXPECT_GE(counts[e], kAtLeast[e]) << "event kind " << e;
  EXPECT_GT(unbrokenSamples, kTicks / 5 * 9 / 10) << "too few intervals were measured in full";
  EXPECT_GT(h.peakDownloadDelta, 50'000'000) << "no burst reached the peak";
}

}  // namespace
}  // namespace vantrel
