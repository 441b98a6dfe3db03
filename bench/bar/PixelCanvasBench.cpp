// The cost of drawing the bar on the toolkit-free canvas: a whole sample-tick
// frame (background, both blocks with 300-sample graphs, FreeType texts,
// meters) at 1920 and 3840 pixels and a meters-only tick, each with its heap
// allocations per tick after a first warm-up frame (allocs_per_iter).

#include <benchmark/benchmark.h>

#include "BenchFrame.h"
#include "bar/PixelBufferCanvas.h"
#include "bar/linux/FreeTypeGlyphSource.h"
#include "support/HeapAllocations.h"

namespace vantrel {
namespace {

// Takes the copies to the window as a host would be handed them.
class CountingPresenter final : public SurfacePresenter {
 public:
  void Present(const SurfaceView& surface, const PixelRect& area) override {
    benchmark::DoNotOptimize(surface.Row(area.top)[area.left]);
    ++copies;
  }
  long copies = 0;
};

struct PixelBar {
  explicit PixelBar(int width) {
    canvas.SetClientSize({width, kBarHeight});
    canvas.SetPresenter(&presenter);
    // The surface is made and the glyphs are fetched here, on the heap: if
    // that is not seen, allocations are not being counted.
    const std::uint64_t before = HeapAllocations();
    SampleTickFrame(canvas, renderer, history, BusyTick());
    counted = HeapAllocations() != before;
  }
  const BarSettings settings;
  FreeTypeGlyphSource glyphs;
  PixelBufferCanvas canvas{glyphs};
  CountingPresenter presenter;
  BarRenderer renderer{canvas, settings};
  TrafficHistory history = BusyHistory();
  bool counted = false;
};

void BM_PixelSampleTickFrame(benchmark::State& state) {
  PixelBar bar(static_cast<int>(state.range(0)));
  if (!bar.counted) state.SkipWithError("heap allocations are not being counted");
  const TickValues tick = BusyTick();
  const std::uint64_t before = HeapAllocations();
  for (auto _ : state) SampleTickFrame(bar.canvas, bar.renderer, bar.history, tick);
  ReportAllocations(state, before);
}
BENCHMARK(BM_PixelSampleTickFrame)
    ->Arg(1920)
    ->Arg(3840)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_PixelMetersTick(benchmark::State& state) {
  PixelBar bar(1920);
  if (!bar.counted) state.SkipWithError("heap allocations are not being counted");
  std::int64_t delta = 0;
  const std::uint64_t before = HeapAllocations();
  for (auto _ : state) {
    delta = (delta + 37'000) % 1'000'000;
    bar.renderer.DrawMeters(delta, delta / 8, bar.history);
    bar.renderer.CopyToWindow();
    benchmark::DoNotOptimize(&bar.canvas);
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_PixelMetersTick)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace vantrel

BENCHMARK_MAIN();
