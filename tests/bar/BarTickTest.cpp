// The bar's drawing as the measurement tick drives it. (What is copied after
// each tick is seen by the window host's presenter: PixelCanvasCopyTest.)

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bar/BarRenderer.h"
#include "bar/RecordingCanvas.h"
#include "support/FakeClock.h"
#include "support/ScriptedInterfaceTable.h"
#include "traffic/TrafficMonitor.h"

namespace vantrel {
namespace {

using Canvas = testing::RecordingCanvas;

class BarTickTest : public ::testing::Test {
 protected:
  BarTickTest() {
    table.Add("eth0", kIfTypeEthernet);
    monitor.ResetHistory();
    monitor.StartTimeBase();
  }

  void Tick() {
    clock.AdvanceSeconds(0.2);
    monitor.UpdateBar(connection, renderer);
  }

  // One sample interval of five ticks that carries `bytes` received; the
  // first tick is the sample tick.
  void Interval(std::uint64_t bytes) {
    table.rows[0].inOctets += bytes;
    for (int i = 0; i < 5; ++i) Tick();
  }

  testing::ScriptedInterfaceTable table;
  testing::FakeClock clock;
  TrafficMonitor monitor{table, clock};
  std::string connection = "eth0";
  BarSettings settings;
  Canvas canvas;
  BarRenderer renderer{canvas, settings};
};

TEST_F(BarTickTest, WidthChangesSwitchTheHistoryLengthAndKeepTheRing) {
  canvas.client = {1920, 32};
  Interval(0);
  for (std::uint64_t i = 1; i <= 320; ++i) Interval(1000 + (i * 7919) % 50000);
  ASSERT_EQ(monitor.History().historyLength, 300);

  const std::vector<std::pair<int, std::int64_t>> widths{{799, 60},   {800, 120}, {1024, 180}, {1280, 300},
                                                         {1920, 300}, {799, 60},  {1920, 300}};
  std::int64_t sample = 4321;
  for (auto [width, length] : widths) {
    SCOPED_TRACE(width);
    const TrafficHistory before = monitor.History();
    canvas.client = {width, 32};
    renderer.OnDisplayChange();
    canvas.calls.clear();
    Interval(static_cast<std::uint64_t>(++sample));

    const TrafficHistory& h = monitor.History();
    EXPECT_EQ(h.historyLength, length);
    EXPECT_EQ(canvas.surfaceSize, (PixelSize{width, 32}));
    // The sample went into the slot the old length pointed at; no other slot changed.
    for (int s = 0; s < kHistorySlots; ++s) {
      ASSERT_EQ(h.downloadDeltas[s], s == before.writeIndex ? sample : before.downloadDeltas[s])
          << "slot " << s;
    }
    EXPECT_EQ(h.writeIndex, (before.writeIndex + 1) % length);

    // The graph shows the ring under the new length, oldest first.
    std::vector<int> expected;
    for (std::int64_t j = 0; j < length; ++j) {
      const std::int64_t v = h.downloadDeltas[h.SlotOf(j)];
      expected.push_back(static_cast<int>(std::max<std::int64_t>(v * 22 / h.peakDownloadDelta, 1)));
    }
    EXPECT_EQ(canvas.Columns(settings.downloadColor), expected);
  }
}

}  // namespace
}  // namespace vantrel
