#include "traffic/TrafficMonitor.h"

#include <vector>

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/ScriptedInterfaceTable.h"

namespace vantrel {
namespace {

// Records what each tick handed to the drawing.
class RecordingPainter final : public TickPainter {
 public:
  struct Meters {
    std::int64_t in, out;
    bool operator==(const Meters&) const = default;
  };

  void PaintBackground(TrafficHistory& history) override {
    ++backgrounds;
    history.historyLength = HistoryLengthForWidth(width);
  }
  void DrawSample(const TickValues& tick, const TrafficHistory&) override { samples.push_back(tick); }
  void DrawMeters(std::int64_t in, std::int64_t out, const TrafficHistory&) override {
    meters.push_back({in, out});
  }
  void CopyToWindow() override { ++copies; }

  std::int64_t width = 1920;
  int backgrounds = 0;
  int copies = 0;
  std::vector<TickValues> samples;
  std::vector<Meters> meters;
};

class TrafficMonitorTest : public ::testing::Test {
 protected:
  TrafficMonitorTest() : monitor(source, clock) {
    eth = &source.Add("eth0", kIfTypeEthernet, 7);
    monitor.ResetHistory();
    monitor.StartTimeBase();
  }

  void Tick() {
    clock.AdvanceSeconds(0.2);
    monitor.UpdateBar(connection, painter, automatic);
  }
  // Five ticks: one sample interval of one second.
  void Interval() {
    for (int i = 0; i < 5; ++i) Tick();
  }
  const TrafficHistory& History() const { return monitor.History(); }
  std::int64_t Newest(const std::array<std::int64_t, kHistorySlots>& ring) const {
    return ring[static_cast<std::size_t>(History().SlotOf(History().historyLength - 1))];
  }

  testing::ScriptedInterfaceTable source;
  testing::FakeClock clock;
  TrafficMonitor monitor;
  RecordingPainter painter;
  InterfaceRow* eth = nullptr;
  std::string connection = "eth0";
  bool automatic = false;
};

TEST_F(TrafficMonitorTest, FirstTicksAfterResetTakeBaselinesThenSample) {
  eth->inOctets = 1000;
  eth->outOctets = 500;
  Tick();  // sample tick: baselines only
  ASSERT_EQ(painter.samples.size(), 1u);
  EXPECT_EQ(painter.samples[0].rateIn, 0.0);
  EXPECT_EQ(painter.samples[0].in, 1000u);
  EXPECT_TRUE(painter.meters.empty());
  EXPECT_EQ(History().writeIndex, 0);

  eth->inOctets += 300;  // the meters show the last tick's differences
  eth->outOctets += 40;
  Tick();
  EXPECT_EQ(painter.meters, (std::vector<RecordingPainter::Meters>{{300, 40}}));
  for (int i = 0; i < 3; ++i) Tick();  // ticks 2..5 draw meters only
  EXPECT_EQ(painter.samples.size(), 1u);
  EXPECT_EQ(painter.meters.size(), 4u);
  EXPECT_EQ(painter.copies, 5);

  eth->inOctets = 1000 + 2048;
  eth->outOctets = 500 + 1024;
  Tick();  // tick 6 stores the first pair in slot 0
  ASSERT_EQ(painter.samples.size(), 2u);
  EXPECT_EQ(History().downloadDeltas[0], 2048);
  EXPECT_EQ(History().uploadDeltas[0], 1024);
  EXPECT_EQ(History().writeIndex, 1);
  EXPECT_DOUBLE_EQ(painter.samples[1].rateIn, 2048.0);
  EXPECT_DOUBLE_EQ(painter.samples[1].rateOut, 1024.0);
  EXPECT_EQ(painter.backgrounds, 2);
}

TEST_F(TrafficMonitorTest, RateUsesTheMeasuredInterval) {
  Interval();
  // The next sample interval lasts 0.5 s in all.
  eth->inOctets = 2048;
  clock.AdvanceSeconds(-0.5);
  Tick();
  EXPECT_DOUBLE_EQ(painter.samples.back().rateIn, 4096.0);
  EXPECT_EQ(History().peakDownloadDelta, 2048);
  EXPECT_DOUBLE_EQ(History().peakDownloadRate, 4096.0);

  // A clock that did not move gives no rate, but the difference counts.
  for (int i = 0; i < 4; ++i) monitor.UpdateBar(connection, painter);
  eth->inOctets += 1000;
  monitor.UpdateBar(connection, painter);
  EXPECT_EQ(painter.samples.back().rateIn, 0.0);
  EXPECT_DOUBLE_EQ(History().peakDownloadRate, 4096.0);
  EXPECT_EQ(History().downloadDeltas[1], 1000);
}

TEST_F(TrafficMonitorTest, PeaksOnlyGrowUntilReset) {
  Interval();
  eth->inOctets += 5000;
  Interval();
  eth->inOctets += 3000;
  Interval();
  EXPECT_EQ(History().peakDownloadDelta, 5000);
  EXPECT_DOUBLE_EQ(History().peakDownloadRate, 5000.0);
  eth->inOctets += 5000;  // equal to the peak: unchanged
  Interval();
  EXPECT_DOUBLE_EQ(History().peakDownloadRate, 5000.0);

  monitor.ResetHistory();
  EXPECT_EQ(History().historyLength, 300);  // kept: the next sample tick sets it
  EXPECT_EQ(History().peakDownloadDelta, 0);
  EXPECT_EQ(History().peakDownloadRate, 0.0);
  EXPECT_EQ(History().lastSampleIn, -1);
  EXPECT_EQ(History().tickPhase, 0);
  EXPECT_EQ(History().writeIndex, 0);
  EXPECT_EQ(History().downloadDeltas[1], 0);
}

// The process was stopped for 3 s (or the machine too busy to run it): the
// first sample after the stall is drawn and compared as a second's worth, so
// steady traffic keeps its height afterwards, and the late tick's meters show
// a tick's worth. The rates stay exact; a merely slow interval keeps its
// exact difference.
TEST_F(TrafficMonitorTest, AStallIsDrawnAndComparedAsANominalInterval) {
  // One tick lasting `seconds`, carrying 10 000 B/s down and 1 000 B/s up.
  const auto tick = [&](int milliseconds) {
    eth->inOctets += static_cast<std::uint64_t>(10 * milliseconds);
    eth->outOctets += static_cast<std::uint64_t>(milliseconds);
    clock.AdvanceSeconds(milliseconds / 1000.0);
    monitor.UpdateBar(connection, painter);
  };
  for (int i = 0; i < 6; ++i) tick(200);  // baselines, then one steady second
  ASSERT_EQ(Newest(History().downloadDeltas), 10'000);

  for (const int milliseconds : {280, 280, 280, 280, 280}) tick(milliseconds);  // 1.4 s: slow, not stalled
  EXPECT_EQ(Newest(History().downloadDeltas), 14'000);
  EXPECT_EQ(History().peakDownloadDelta, 14'000);
  EXPECT_EQ(painter.meters.back().in, 2'800);

  for (const int milliseconds : {200, 3200, 200, 200, 200}) tick(milliseconds);  // a 3 s stall
  EXPECT_EQ(Newest(History().downloadDeltas), 10'000);
  EXPECT_EQ(Newest(History().uploadDeltas), 1'000);
  EXPECT_EQ(History().peakDownloadDelta, 14'000);
  EXPECT_EQ(History().peakUploadDelta, 1'400);
  EXPECT_DOUBLE_EQ(painter.samples.back().rateIn, 10'000.0);
  EXPECT_DOUBLE_EQ(History().peakDownloadRate, 10'000.0);
  EXPECT_EQ(painter.meters[painter.meters.size() - 4],
            (RecordingPainter::Meters{2'000, 200}));  // after the stall
}

TEST_F(TrafficMonitorTest, RingWrapsAtHistoryLength) {
  painter.width = 640;  // 60 slots
  for (int i = 0; i <= 61; ++i) {
    eth->inOctets += static_cast<std::uint64_t>(i);
    Interval();
  }
  EXPECT_EQ(History().downloadDeltas[0], 61);  // the 61st sample overwrote the first
  EXPECT_EQ(History().writeIndex, 1);
}

// Automatic moves with the route within a tick of the notice: the new link's
// first difference is 0, and the ring and peaks go on. The whole table is
// read only when links or routes changed, or the selected link was renamed
// or is gone; other ticks read that link alone, with the same result.
TEST_F(TrafficMonitorTest, AutomaticFollowsTheRouteWithoutASpikeReadingTheWholeTableOnlyOnChanges) {
  source.Add("wlan0", kIfTypeIeee80211, 8).inOctets = 1'000'000'000;
  eth = &source.rows[0];
  source.singleReads = true;
  source.routes = {{7, false, 0, 100}, {8, false, 0, 600}};
  automatic = true;
  connection.clear();
  Interval();
  EXPECT_EQ(connection, "eth0");
  EXPECT_EQ(source.reads, 1);
  EXPECT_EQ(source.oneReads, 4);
  eth->inOctets += 3000;
  Interval();
  EXPECT_EQ(Newest(History().downloadDeltas), 3000);

  source.routes[1].metric = 50;  // wlan0 takes over; its counter is far ahead
  monitor.OnNetworkChange(false, true);
  Tick();
  EXPECT_EQ(connection, "wlan0");
  EXPECT_EQ(source.reads, 2);
  EXPECT_EQ(Newest(History().downloadDeltas), 0) << "a new baseline, no spike";
  EXPECT_EQ(painter.meters.back(), (RecordingPainter::Meters{0, 0}));
  for (int i = 0; i < 4; ++i) Tick();
  source.rows[1].inOctets += 500;
  Interval();
  EXPECT_EQ(Newest(History().downloadDeltas), 500);
  EXPECT_EQ(History().peakDownloadDelta, 3000) << "the peaks go on";

  // A renamed link is seen at the next tick; a new link only with a notice.
  source.rows[1].description = "wlan1";
  Tick();
  EXPECT_EQ(source.reads, 3);
  EXPECT_EQ(connection, "wlan1");
  source.Add("wlan1", kIfTypeIeee80211, 9);
  monitor.OnNetworkChange(true, false);
  automatic = false;
  Tick();
  EXPECT_EQ(source.reads, 4);
  EXPECT_EQ(monitor.SelectedRow()->identity, 9u) << "the last of equal names";
}

}  // namespace
}  // namespace vantrel
