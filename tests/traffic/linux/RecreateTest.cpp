// The bar's tick on the kernel's own link table while the watched link is
// deleted and made again, with the same name, 100 times under steady UDP
// traffic. Every figure the tick stores or draws is held against what the
// sender actually put on the wire around the two readings it came from.
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
#include "traffic/MonotonicClock.h"
#include "traffic/TrafficMonitor.h"
#include "traffic/linux/NetlinkInterfaceTable.h"

namespace vantrel {
namespace {

using testing::NamespaceThread;
using Clock = std::chrono::steady_clock;

constexpr int kCycles = 100;
constexpr char kFarAddress[] = "10.213.78.2";
// The watched end keeps one hardware address through all its lives, and the
// sender knows it for good, so that no address resolution runs.
constexpr char kFarHardware[] = "02:00:5e:00:78:02";
constexpr std::uint16_t kDiscardPort = 9;
constexpr std::size_t kPayload = 1200;
// Ethernet, IPv4 and UDP headers around each datagram's payload.
constexpr std::int64_t kFrame = kPayload + 14 + 20 + 8;
// At most one datagram per millisecond.
constexpr auto kSendPeriod = std::chrono::milliseconds(1);
constexpr auto kTickPeriod = std::chrono::milliseconds(40);
// A few frames the kernel may still send of its own accord.
constexpr std::int64_t kSlack = 1024;

// What the sender has put on the wire: `started` counts a frame before the
// call that sends it (and takes it back if the call fails), `finished` after
// the call. A frame is counted on the watched end inside that call.
struct Wire {
  std::atomic<std::int64_t> started{0};
  std::atomic<std::int64_t> finished{0};
  // Odd while the link is being deleted or made, even while it stands.
  std::atomic<std::int64_t> generation{0};
  // Asks the ticking thread to wait between two ticks; `holding` answers.
  std::atomic<bool> hold{false};
  std::atomic<bool> holding{false};
};

// The moment just before and just after one tick.
struct Window {
  std::int64_t startedBefore = 0, finishedBefore = 0, generationBefore = 0, clockBefore = 0;
  std::int64_t startedAfter = 0, finishedAfter = 0, generationAfter = 0, clockAfter = 0;
  bool seen = false;  // the tick found the watched link
  std::uint32_t identity = 0;
};

// Bounds on the bytes the watched end received between the reading of tick
// `from` and that of tick `to`. Nothing can have arrived that was not started
// before `to` ended and finished after `from` began; everything started after
// `from` ended and finished before `to` began has arrived, if the link stood
// throughout.
std::int64_t MostCarried(const Window& from, const Window& to) {
  return to.startedAfter - from.finishedBefore + kSlack;
}
std::int64_t LeastCarried(const Window& from, const Window& to) {
  return to.finishedBefore - from.startedAfter;
}
bool Unbroken(const Window& from, const Window& to) {
  return from.seen && to.seen && from.identity == to.identity &&
         from.generationBefore == to.generationAfter && from.generationBefore % 2 == 0;
}

class TickLog final : public TickPainter {
 public:
  void PaintBackground(TrafficHistory& history) override {
    history.historyLength = HistoryLengthForWidth(1920);
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

  bool sampled = false;
  std::int32_t slot = 0;
  TickValues tick;
  bool metered = false;
  std::int64_t meterIn = 0;
  std::int64_t meterOut = 0;
};

// What the ticking thread found, read by the test once that thread ended.
struct Findings {
  void Fault(const std::string& what) {
    if (faults++ == 0) first = what;
  }
  int faults = 0;
  std::string first;
  int ticks = 0;
  int ticksWithoutLink = 0;
  int swapsBetweenTwoTicks = 0;  // one life on a tick, the next on the tick after
  int samples = 0;
  int unbrokenSamples = 0;
  std::set<std::uint32_t> identities;
  std::int64_t largestCarried = 0;  // the most that can have arrived in one sample interval
  double fastestCarried = 0.0;      // ... over the shortest that interval can have lasted
  std::int64_t peakDownloadDelta = 0;
  double peakDownloadRate = 0.0;
  std::int64_t peakUploadDelta = 0;
};

std::string Describe(const char* what, std::int64_t value, std::int64_t low, std::int64_t high) {
  return std::string(what) + " " + std::to_string(value) + " outside " + std::to_string(low) + ".." +
         std::to_string(high);
}

class RecreateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const int error = near_.Error() != 0 ? near_.Error() : far_.Error();
    if (error == EPERM || error == EACCES || error == EINVAL) {
      GTEST_SKIP() << "this process may not make network namespaces (unshare: " << strerror(error) << ")";
    }
    ASSERT_EQ(error, 0) << "unshare(CLONE_NEWNET): " << strerror(error);
    // IPv6 off, so that the links carry nothing but the test's datagrams.
    const std::string quiet =
        "! [ -d /proc/sys/net/ipv6 ] || { echo 1 > /proc/sys/net/ipv6/conf/all/disable_ipv6 && "
        "echo 1 > /proc/sys/net/ipv6/conf/default/disable_ipv6; }";
    ASSERT_EQ(near_.Shell(quiet + " && ip link set lo up"), 0);
    ASSERT_EQ(far_.Shell(quiet + " && ip link set lo up"), 0);
    if (near_.Shell("command -v nsenter >/dev/null") != 0) GTEST_SKIP() << "nsenter (util-linux) is missing";
  }

  // The sending end "vtx" here, the watched end "vrx" in the far namespace,
  // both up; the watched end has no address, so it sends nothing back.
  std::string MakeLinkCommand() {
    const std::string far = far_.NamespacePath();
    return ("ip link add vtx type veth peer name vrx netns " + far + " address " + kFarHardware +
            " && ip addr add 10.213.78.1/30 dev vtx && ip link set vtx up"
            " && ip neigh replace " +
            kFarAddress + " lladdr " + kFarHardware + " dev vtx nud permanent && nsenter --net=" + far +
            " ip link set vrx up");
  }
  int MakeLink() { return near_.Shell(MakeLinkCommand()); }
  static constexpr char kDeleteLink[] = "ip link del vtx";

  // Ticks every 40 ms on the far namespace's thread until `stop`, checking
  // each tick against the wire.
  void Tick(const std::atomic<bool>& stop, Wire& wire, Findings& found) {
    far_.Run([&] {
      NetlinkInterfaceTable table;
      const auto clock = CreatePlatformClock();
      const double frequency = static_cast<double>(clock->Frequency());
      TrafficMonitor monitor(table, *clock);
      TickLog painter;
      std::string connection = "vrx";
      monitor.ResetHistory();
      monitor.StartTimeBase();
      Window lastTick;
      Window lastSample;
      bool sampledBefore = false;
      auto next = Clock::now();
      while (!stop) {
        if (wire.hold) {
          wire.holding = true;
          while (wire.hold) std::this_thread::sleep_for(std::chrono::milliseconds(1));
          wire.holding = false;
          next = Clock::now();
        }
        Window now;
        now.generationBefore = wire.generation;
        now.finishedBefore = wire.finished;
        now.startedBefore = wire.started;
        now.clockBefore = clock->Now();
        painter.sampled = painter.metered = false;
        monitor.UpdateBar(connection, painter);
        now.clockAfter = clock->Now();
        now.startedAfter = wire.started;
        now.finishedAfter = wire.finished;
        now.generationAfter = wire.generation;
        if (const InterfaceRow* row = monitor.SelectedRow()) {
          now.seen = true;
          now.identity = row->identity;
          found.identities.insert(row->identity);
          if (lastTick.seen && lastTick.identity != row->identity) ++found.swapsBetweenTwoTicks;
        } else {
          ++found.ticksWithoutLink;
        }
        Check(found, monitor.History(), painter, lastTick, lastSample, sampledBefore, now, frequency);
        if (painter.sampled) {
          lastSample = now;
          sampledBefore = true;
        }
        lastTick = now;
        ++found.ticks;
        next += kTickPeriod;
        std::this_thread::sleep_until(next);
      }
      found.peakDownloadDelta = monitor.History().peakDownloadDelta;
      found.peakDownloadRate = monitor.History().peakDownloadRate;
      found.peakUploadDelta = monitor.History().peakUploadDelta;
    });
  }

  static void Check(Findings& found, const TrafficHistory& h, const TickLog& painter, const Window& lastTick,
                    const Window& lastSample, bool sampledBefore, const Window& now, double frequency) {
    if (painter.metered) {
      const std::int64_t most = MostCarried(lastTick, now);
      const std::int64_t least = Unbroken(lastTick, now) ? LeastCarried(lastTick, now) : 0;
      if (painter.meterIn < least || painter.meterIn > most) {
        found.Fault(Describe("download meter", painter.meterIn, least, most));
      }
      if (painter.meterOut < 0 || painter.meterOut > kSlack) {
        found.Fault(Describe("upload meter", painter.meterOut, 0, kSlack));
      }
    }
    if (painter.sampled && sampledBefore) {
      ++found.samples;
      const bool unbroken = Unbroken(lastSample, now);
      found.unbrokenSamples += unbroken ? 1 : 0;
      const std::int64_t most = MostCarried(lastSample, now);
      const std::int64_t least = unbroken ? LeastCarried(lastSample, now) : 0;
      const auto slot = static_cast<std::size_t>(painter.slot);
      const std::int64_t stored = h.downloadDeltas[slot];
      if (stored < std::max<std::int64_t>(least, 0) || stored > most) {
        found.Fault(Describe("stored download difference", stored, least, most));
      }
      if (h.uploadDeltas[slot] < 0 || h.uploadDeltas[slot] > kSlack) {
        found.Fault(Describe("stored upload difference", h.uploadDeltas[slot], 0, kSlack));
      }
      // The tick read its clock somewhere inside each of the two windows.
      const double shortest = static_cast<double>(now.clockBefore - lastSample.clockAfter) / frequency;
      const double longest = static_cast<double>(now.clockAfter - lastSample.clockBefore) / frequency;
      const double rate = painter.tick.rateIn;
      if (rate < static_cast<double>(stored) / longest * 0.999 ||
          rate > static_cast<double>(stored) / shortest * 1.001) {
        found.Fault("download rate " + std::to_string(rate) + " for " + std::to_string(stored) +
                    " bytes in " + std::to_string(shortest) + ".." + std::to_string(longest) + " s");
      }
      if (painter.tick.rateOut < 0.0) found.Fault("negative upload rate");
      found.largestCarried = std::max(found.largestCarried, most);
      found.fastestCarried = std::max(found.fastestCarried, static_cast<double>(most) / shortest);
      // The peaks never pass what the traffic could have carried so far.
      if (h.peakDownloadDelta < 0 || h.peakDownloadDelta > found.largestCarried) {
        found.Fault(Describe("download peak", h.peakDownloadDelta, 0, found.largestCarried));
      }
      if (h.peakDownloadRate < 0.0 || h.peakDownloadRate > found.fastestCarried * 1.001) {
        found.Fault("download peak rate " + std::to_string(h.peakDownloadRate) + " above " +
                    std::to_string(found.fastestCarried));
      }
      if (h.peakUploadDelta < 0 || h.peakUploadDelta > kSlack || h.peakUploadRate < 0.0) {
        found.Fault(Describe("upload peak", h.peakUploadDelta, 0, kSlack));
      }
      for (std::size_t i = 0; i < kHistorySlots; ++i) {
        if (h.downloadDeltas[i] < 0 || h.uploadDeltas[i] < 0) found.Fault("negative difference in the ring");
      }
    }
  }

  NamespaceThread near_;
  NamespaceThread far_;
};

TEST_F(RecreateTest, AWatchedLinkMadeAgainAHundredTimesUnderTrafficGivesNoNegativeOrPhantomFigure) {
  ASSERT_EQ(MakeLink(), 0);
  int senderFd = -1;
  near_.Run([&] { senderFd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0); });
  ASSERT_GE(senderFd, 0) << strerror(errno);
  sockaddr_in far{};
  far.sin_family = AF_INET;
  far.sin_port = htons(kDiscardPort);
  inet_pton(AF_INET, kFarAddress, &far.sin_addr);

  Wire wire;
  Findings found;
  std::atomic<bool> stopSending{false};
  std::atomic<bool> stopTicking{false};
  std::thread sender([&] {
    const std::string payload(kPayload, 'x');
    while (!stopSending) {
      wire.started += kFrame;
      if (sendto(senderFd, payload.data(), payload.size(), 0, reinterpret_cast<const sockaddr*>(&far),
                 sizeof far) == static_cast<ssize_t>(payload.size())) {
        wire.finished += kFrame;
      } else {
        wire.started -= kFrame;  // no route while the link is away
      }
      std::this_thread::sleep_for(kSendPeriod);
    }
  });
  std::thread ticker([&] { Tick(stopTicking, wire, found); });

  // Each cycle the link goes and comes back, then stands for three sample
  // intervals. Every other time it is away for about three ticks; otherwise
  // it goes and comes back between two ticks, so that only its identity
  // tells its two lives apart.
  const auto began = Clock::now();
  const auto deadline = began + std::chrono::seconds(150);
  int cycles = 0;
  int failedCommands = 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  while (cycles < kCycles && Clock::now() < deadline) {
    ++wire.generation;
    if (cycles % 2 == 0) {
      wire.hold = true;
      while (!wire.holding) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      failedCommands += near_.Shell(std::string(kDeleteLink) + " && " + MakeLinkCommand()) != 0 ? 1 : 0;
      wire.hold = false;
    } else {
      failedCommands += near_.Shell(kDeleteLink) != 0 ? 1 : 0;
      std::this_thread::sleep_for(std::chrono::milliseconds(120));
      failedCommands += MakeLink() != 0 ? 1 : 0;
    }
    ++wire.generation;
    ++cycles;
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
  }
  stopTicking = true;
  ticker.join();
  stopSending = true;
  sender.join();
  close(senderFd);
  const double seconds = std::chrono::duration<double>(Clock::now() - began).count();

  const double nominal = static_cast<double>(kFrame) * 1000.0;
  std::cout << "cycles " << cycles << " in " << seconds << " s, ticks " << found.ticks << " ("
            << found.ticksWithoutLink << " without the link, " << found.swapsBetweenTwoTicks
            << " going straight from one life to the next), sample intervals " << found.samples << " ("
            << found.unbrokenSamples << " on one standing link), identities seen " << found.identities.size()
            << "\nbytes sent " << wire.finished << ", peak download " << found.peakDownloadDelta
            << " B per interval (most the traffic could carry in one: " << found.largestCarried
            << " B), peak rate " << found.peakDownloadRate << " B/s (sender's ceiling " << nominal
            << " B/s), peak upload " << found.peakUploadDelta << " B\n";

  EXPECT_EQ(cycles, kCycles) << "the cycles did not finish in time";
  EXPECT_EQ(failedCommands, 0);
  EXPECT_EQ(found.faults, 0) << found.faults << " faults; the first: " << found.first;
  // The ticks did see the link come and go, under new identities, and they
  // measured the traffic while it stood.
  EXPECT_GT(found.ticksWithoutLink, 0);
  EXPECT_GE(found.swapsBetweenTwoTicks, kCycles / 2);
  EXPECT_EQ(found.identities.size(), static_cast<std::size_t>(kCycles + 1))
      << "every life of the link has an identity of its own";
  EXPECT_GT(found.unbrokenSamples, kCycles);
  EXPECT_GT(found.peakDownloadDelta, 0);
  // Well below the sender's ceiling; the exact bounds were checked tick by tick.
  EXPECT_LE(found.peakDownloadRate, nominal * 1.25);
}

}  // namespace
}  // namespace vantrel
