// The bar's tick on the kernel's own link table while the watched link is deleted and made again, with the
// same name, 100 times under steady UDP traffic. Every figure the tick stores or draws is held against what
// the sender put on the wire around the two readings it came from.
#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <set>
#include <string>
#include <thread>

#include "NamespaceThread.h"
#include "traffic/MonotonicClock.h"
#include "traffic/TrafficMonitor.h"
#include "traffic/linux/NetlinkInterfaceTable.h"

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kCycles = 100;
constexpr char kFarAddress[] = "10.213.78.2";
// The watched end keeps one hardware address through all its lives and the sender knows it for good, so
// that no address resolution runs.
constexpr char kFarHardware[] = "02:00:5e:00:78:02";
constexpr std::size_t kPayload = 1200;
constexpr std::int64_t kFrame = kPayload + 14 + 20 + 8;  // with its Ethernet, IPv4 and UDP headers
constexpr std::int64_t kSlack = 1024;                    // a few frames the kernel may send of its own accord

// The wire around one tick, read in this order: the link's generation (odd while it is being deleted or
// made), what the sender had finished, the clock; then the tick; then the clock, what the sender had started
// and the generation again. The sender counts a frame as started before the call that sends it and as
// finished after it; the watched end counts it inside the call. `identity`: the link the tick found, or 0.
struct Window {
  std::int64_t generationBefore = 0, finishedBefore = 0, clockBefore = 0;
  std::int64_t clockAfter = 0, startedAfter = 0, generationAfter = 0;
  std::uint32_t identity = 0;
};

// The bytes direction `d` (0: download) of the watched end carried between the readings of ticks `from`
// and `to`: at most what was started before `to` ended and finished after `from` began; at least what was
// started after `from` ended and finished before `to` began, if one life of the link stood throughout. The
// upload side carries only what the kernel may send of its own accord.
std::int64_t MostCarried(int d, const Window& from, const Window& to) {
  return (d == 0 ? to.startedAfter - from.finishedBefore : 0) + kSlack;
}
std::int64_t LeastCarried(int d, const Window& from, const Window& to) {
  const bool stood = from.identity != 0 && from.identity == to.identity &&
                     from.generationBefore == to.generationAfter && from.generationBefore % 2 == 0;
  return d == 0 && stood ? std::max<std::int64_t>(to.finishedBefore - from.startedAfter, 0) : 0;
}

// Keeps what one tick handed to the drawing; what was not drawn stays -1.
struct TickLog final : TickPainter {
  void PaintBackground(TrafficHistory& history) override {
    history.historyLength = HistoryLengthForWidth(1920);
    slot = history.writeIndex;
  }
  void DrawSample(const TickValues& values, const TrafficHistory&) override { tick = values; }
  void DrawMeters(std::int64_t in, std::int64_t out, const TrafficHistory&) override { meter = {in, out}; }
  void CopyToWindow() override {}

  std::int64_t slot = -1;
  std::array<std::int64_t, 2> meter = {-1, -1};
  TickValues tick;
};

TEST(RecreateTest, AWatchedLinkMadeAgainAHundredTimesUnderTrafficGivesNoNegativeOrPhantomFigure) {
  testing::NamespaceThread near, far;
  const int error = near.Error() != 0 ? near.Error() : far.Error();
  if (error == EPERM || error == EACCES || error == EINVAL) {
    GTEST_SKIP() << "this process may not make network namespaces (unshare: " << strerror(error) << ")";
  }
  ASSERT_EQ(error, 0) << "unshare(CLONE_NEWNET): " << strerror(error);
  // IPv6 off, so that the links carry nothing but the test's datagrams.
  const std::string quiet =
      "! [ -d /proc/sys/net/ipv6 ] || { echo 1 > /proc/sys/net/ipv6/conf/all/disable_ipv6 && "
      "echo 1 > /proc/sys/net/ipv6/conf/default/disable_ipv6; } && ip link set lo up";
  ASSERT_EQ(near.Shell(quiet), 0);
  ASSERT_EQ(far.Shell(quiet), 0);
  if (near.Shell("command -v nsenter >/dev/null") != 0) GTEST_SKIP() << "nsenter (util-linux) is missing";
  // The sending end "vtx" here, the watched end "vrx" in the far namespace; the watched end has no
  // address, so it sends nothing back. It comes up first: a sending end opened while its peer is still down
  // starts to carry frames only some time after the command, and drops those the sender counts as sent.
  const std::string makeLink =
      "ip link add vtx type veth peer name vrx netns " + far.NamespacePath() + " address " + kFarHardware +
      " && nsenter --net=" + far.NamespacePath() +
      " ip link set vrx up && ip addr add 10.213.78.1/30 dev vtx && ip neigh replace " + kFarAddress +
      " lladdr " + kFarHardware + " dev vtx nud permanent && ip link set vtx up";
  ASSERT_EQ(near.Shell(makeLink), 0);
  int senderFd = -1;
  near.Run([&] { senderFd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0); });
  ASSERT_GE(senderFd, 0) << strerror(errno);
  sockaddr_in farEnd{};
  farEnd.sin_family = AF_INET;
  farEnd.sin_port = htons(9);  // discard
  inet_pton(AF_INET, kFarAddress, &farEnd.sin_addr);

  std::atomic<std::int64_t> started{0}, finished{0}, generation{0};
  // `hold` asks the ticking thread to wait between two ticks; `holding` answers.
  std::atomic<bool> hold{false}, holding{false}, stopTicking{false}, stopSending{false};
  std::thread sender([&] {  // at most one datagram per millisecond
    const std::string payload(kPayload, 'x');
    for (; !stopSending; std::this_thread::sleep_for(milliseconds(1))) {
      started += kFrame;
      if (sendto(senderFd, payload.data(), payload.size(), 0, reinterpret_cast<const sockaddr*>(&farEnd),
                 sizeof farEnd) == static_cast<ssize_t>(payload.size())) {
        finished += kFrame;
      } else {
        started -= kFrame;  // no route while the link is away
      }
    }
  });

  // What the ticking thread found, read once it has ended. Identity 0 stands for ticks without the link.
  int ticks = 0, swaps = 0, unbrokenSamples = 0, faults = 0;
  std::set<std::uint32_t> identities;
  std::int64_t peakDownload = 0, mostPerInterval = 0;
  double peakRate = 0.0;
  std::thread ticker([&] {
    far.Run([&] {  // a tick every 40 ms, each held against the wire
      NetlinkInterfaceTable table;
      const auto clock = CreatePlatformClock();
      const auto frequency = static_cast<double>(clock->Frequency());
      TrafficMonitor monitor(table, *clock);
      const TrafficHistory& h = monitor.History();
      TickLog painter;
      std::string connection = "vrx";
      monitor.StartTimeBase();
      // Per direction, over the sample intervals so far, the most and the least that can have arrived in
      // one, and the fastest that is over the shortest and over the longest time it can have lasted.
      std::int64_t largestMost[2] = {}, largestLeast[2] = {};
      double fastestMost[2] = {}, fastestLeast[2] = {};
      const auto within = [&](const char* what, int d, auto value, auto low, auto high) {
        if ((value >= low && value <= high) || ++faults > 5) return;
        ADD_FAILURE() << "tick " << ticks << ": " << (d == 0 ? "download " : "upload ") << what << " "
                      << value << " outside " << low << ".." << high;
      };
      Window last, lastSample;
      for (auto next = Clock::now(); !stopTicking; std::this_thread::sleep_until(next += milliseconds(40))) {
        if (hold) {
          holding = true;
          while (hold) std::this_thread::sleep_for(milliseconds(1));
          holding = false;
          next = Clock::now();
        }
        Window now{generation, finished, clock->Now()};
        painter.slot = -1;
        painter.meter = {-1, -1};
        monitor.UpdateBar(connection, painter);
        now.clockAfter = clock->Now();
        now.startedAfter = started;
        now.generationAfter = generation;
        now.identity = monitor.SelectedRow() != nullptr ? monitor.SelectedRow()->identity : 0;
        identities.insert(now.identity);
        swaps += last.identity != 0 && now.identity != 0 && last.identity != now.identity ? 1 : 0;
        unbrokenSamples += painter.slot >= 0 && LeastCarried(0, lastSample, now) > 0 ? 1 : 0;
        // The tick read its clock somewhere inside each of the two windows.
        const double shortest = static_cast<double>(now.clockBefore - lastSample.clockAfter) / frequency;
        const double longest = static_cast<double>(now.clockAfter - lastSample.clockBefore) / frequency;
        for (int d = 0; d < 2 && ticks > 0; ++d) {
          within("meter", d, painter.meter[d], LeastCarried(d, last, now), MostCarried(d, last, now));
          if (painter.slot < 0) continue;
          const auto& ring = d == 0 ? h.downloadDeltas : h.uploadDeltas;
          const std::int64_t stored = ring[static_cast<std::size_t>(painter.slot)];
          const std::int64_t least = LeastCarried(d, lastSample, now), most = MostCarried(d, lastSample, now);
          within("difference", d, stored, least, most);
          within("rate", d, d == 0 ? painter.tick.rateIn : painter.tick.rateOut,
                 static_cast<double>(stored) / longest * 0.999,
                 static_cast<double>(stored) / shortest * 1.001);
          largestMost[d] = std::max(largestMost[d], most);
          largestLeast[d] = std::max(largestLeast[d], least);
          fastestMost[d] = std::max(fastestMost[d], static_cast<double>(most) / shortest);
          fastestLeast[d] = std::max(fastestLeast[d], static_cast<double>(least) / longest);
          within("peak", d, d == 0 ? h.peakDownloadDelta : h.peakUploadDelta, largestLeast[d],
                 largestMost[d]);
          within("peak rate", d, d == 0 ? h.peakDownloadRate : h.peakUploadRate, fastestLeast[d] * 0.999,
                 fastestMost[d] * 1.001);
          within("smallest difference in the ring", d, *std::min_element(ring.begin(), ring.end()),
                 std::int64_t{0}, INT64_MAX);
        }
        if (painter.slot >= 0) lastSample = now;
        last = now;
        ++ticks;
      }
      peakDownload = h.peakDownloadDelta;
      peakRate = h.peakDownloadRate;
      mostPerInterval = largestMost[0];
    });
  });

  // Each cycle the link goes and comes back, then stands for three sample intervals. Every other time it
  // is away for about three ticks; otherwise it goes and comes back between two ticks, so that only its
  // identity tells its two lives apart.
  const auto began = Clock::now();
  int cycles = 0, failedCommands = 0;
  for (std::this_thread::sleep_for(milliseconds(600));
       cycles < kCycles && Clock::now() < began + std::chrono::seconds(150); ++cycles) {
    ++generation;
    if (cycles % 2 == 0) {
      hold = true;
      while (!holding) std::this_thread::sleep_for(milliseconds(1));
      failedCommands += near.Shell("ip link del vtx && " + makeLink) != 0 ? 1 : 0;
      hold = false;
    } else {
      failedCommands += near.Shell("ip link del vtx") != 0 ? 1 : 0;
      std::this_thread::sleep_for(milliseconds(120));
      failedCommands += near.Shell(makeLink) != 0 ? 1 : 0;
    }
    ++generation;
    std::this_thread::sleep_for(milliseconds(600));
  }
  stopTicking = true;
  ticker.join();
  stopSending = true;
  sender.join();
  close(senderFd);

  const double ceiling = static_cast<double>(kFrame) * 1000.0;  // the sender's, in bytes per second
  std::cout << "cycles " << cycles << " in " << std::chrono::duration<double>(Clock::now() - began).count()
            << " s, ticks " << ticks << ", peak download " << peakDownload << " B (bound " << mostPerInterval
            << " B), " << peakRate << " B/s (sender's ceiling " << ceiling << " B/s)\n";
  EXPECT_EQ(cycles, kCycles) << "the cycles did not finish in time";
  EXPECT_EQ(failedCommands, 0);
  EXPECT_EQ(faults, 0);
  // The ticks saw the link come and go under new identities, and measured the traffic while it stood.
  EXPECT_EQ(identities.erase(0), 1u) << "no tick found the link away";
  EXPECT_GE(swaps, kCycles / 2) << "too few ticks went straight from one life of the link to the next";
  EXPECT_EQ(identities.size(), static_cast<std::size_t>(kCycles + 1))
      << "lives of the link shared identities";
  EXPECT_GT(unbrokenSamples, kCycles);
  EXPECT_GT(peakDownload, 0);
  EXPECT_LE(peakRate, ceiling * 1.25);
}

}  // namespace
}  // namespace vantrel
