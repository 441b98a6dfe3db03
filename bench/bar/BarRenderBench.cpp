// The cost of drawing the bar: a whole sample-tick frame (background, both
// blocks with 300-sample graphs and texts, meters) and a meters-only tick,
// on the Qt canvas that writes spans straight into the image, and the same
// frame drawn with one QPainter line per line for comparison.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>

#include "BenchFrame.h"
#include "NaiveQPainterCanvas.h"
#include "bar/BarRenderer.h"
#include "bar/qt/QtBarCanvas.h"

namespace vantrel {
namespace {

void BM_SampleTickFrame(benchmark::State& state) {
  const BarSettings settings;
  QtBarCanvas canvas;
  canvas.SetClientSize({static_cast<int>(state.range(0)), kBarHeight});
  canvas.SetFontDpi(96);
  BarRenderer renderer(canvas, settings);
  TrafficHistory history = BusyHistory();
  const TickValues tick = BusyTick();
  for (auto _ : state) SampleTickFrame(canvas, renderer, history, tick);
}
BENCHMARK(BM_SampleTickFrame)
    ->Arg(1920)
    ->Arg(3840)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_MetersTick(benchmark::State& state) {
  const BarSettings settings;
  QtBarCanvas canvas;
  canvas.SetClientSize({1920, kBarHeight});
  canvas.SetFontDpi(96);
  BarRenderer renderer(canvas, settings);
  TrafficHistory history = BusyHistory();
  SampleTickFrame(canvas, renderer, history, BusyTick());
  std::int64_t delta = 0;
  for (auto _ : state) {
    delta = (delta + 37'000) % 1'000'000;
    renderer.DrawMeters(delta, delta / 8, history);
    renderer.CopyToWindow();
    benchmark::DoNotOptimize(&canvas);
  }
}
BENCHMARK(BM_MetersTick)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_NaiveSampleTickFrame(benchmark::State& state) {
  const BarSettings settings;
  NaiveQPainterCanvas canvas({static_cast<int>(state.range(0)), kBarHeight}, 12);
  BarRenderer renderer(canvas, settings);
  TrafficHistory history = BusyHistory();
  const TickValues tick = BusyTick();
  for (auto _ : state) SampleTickFrame(canvas, renderer, history, tick);
}
BENCHMARK(BM_NaiveSampleTickFrame)
    ->Arg(1920)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// Both ways of drawing must give the same picture, or the comparison means
// nothing.
bool SamePicture() {
  const BarSettings settings;
  QtBarCanvas fast;
  fast.SetClientSize({1920, kBarHeight});
  fast.SetFontDpi(96);
  NaiveQPainterCanvas naive({1920, kBarHeight}, 12);
  BarRenderer fastRenderer(fast, settings);
  BarRenderer naiveRenderer(naive, settings);
  TrafficHistory h1 = BusyHistory();
  TrafficHistory h2 = BusyHistory();
  SampleTickFrame(fast, fastRenderer, h1, BusyTick());
  SampleTickFrame(naive, naiveRenderer, h2, BusyTick());
  return fast.Surface() == naive.Surface();
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (!vantrel::SamePicture()) std::fprintf(stderr, "warning: the naive frame differs from the span frame\n");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
