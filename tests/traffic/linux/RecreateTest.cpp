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
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <set>
#include <string>
#include <thread>

#include "NamespaceThread.h"
#include "support/TickBounds.h"
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

TEST(RecreateTest, AWatchedLinkMadeAgainAHundredTimesUnderTrafficGivesNoNegativeOrPhantomFigure) {
  testing::NamespaceThread near, far;
  const int error = near.Error() != 0 ? near.Error() : far.Error();
  if (error == EPERM || error == EACCES || error == EINVAL) {
    GTEST_SKIP() << "this process may not make network namespaces (unshare: " << strerror(error) << ")";
  }
  ASSERT_EQ(error, 0) << "unshare(CLONE_NEWNET): " << strerror(error);
  ASSERT_EQ(near.Quiet(), 0);
  ASSERT_EQ(far.Quiet(), 0);
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
  int ticks = 0, swaps = 0, unbrokenSamples = 0;
  std::set<std::uint32_t> identities;
  std::int64_t peakDownload = 0;
  double peakRate = 0.0;
  testing::TickBounds painter(0.001);
  std::thread ticker([&] {
    far.Run([&] {  // a tick every 40 ms, each held against the wire
      NetlinkInterfaceTable table;
      const auto clock = CreatePlatformClock();
      const auto frequency = static_cast<double>(clock->Frequency());
      TrafficMonitor monitor(table, *clock);
      const TrafficHistory& h = monitor.History();
      std::string connection = "vrx";
      monitor.StartTimeBase();
      Window last, lastSample;
      for (auto next = Clock::now(); !stopTicking; std::this_thread::sleep_until(next += milliseconds(40))) {
        if (hold) {
          holding = true;
          while (hold) std::this_thread::sleep_for(milliseconds(1));
          holding = false;
          next = Clock::now();
        }
        Window now{generation, finished, clock->Now()};
        painter.Clear();
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
          painter.Check(ticks, d, h, LeastCarried(d, last, now), MostCarried(d, last, now),
                        LeastCarried(d, lastSample, now), MostCarried(d, lastSample, now), shortest, longest);
        }
        if (painter.slot >= 0) lastSample = now;
        last = now;
        ++ticks;
      }
      peakDownload = h.peakDownloadDelta;
      peakRate = h.peakDownloadRate;
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
            << " s, ticks " << ticks << ", peak download " << peakDownload << " B (bound "
            << painter.largestMost[0] << " B), " << peakRate << " B/s (sender's ceiling " << ceiling
            << " B/s)\n";
  EXPECT_EQ(cycles, kCycles) << "the cycles did not finish in time";
  EXPECT_EQ(failedCommands, 0);
  EXPECT_EQ(painter.faults, 0);
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
