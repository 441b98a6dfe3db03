// How long the bar waits for its dialogs helper: the first request (the
// helper starts, loads Qt and its platform, opens the menu) and a later one
// (the helper runs already). Each menu is cancelled 1 ms after it was asked
// for, so the figures hold the helper's work plus at least that 1 ms.
// Runs on the display of the environment (QT_QPA_PLATFORM=offscreen for none).

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "bar/BarCommands.h"
#include "bar/linux/DialogsProcess.h"
#include "bar/linux/EventLoop.h"

namespace vantrel {
namespace {

void CancelledMenu(EventLoop& loop, DialogsProcess& dialogs) {
  loop.StartTimer(1, [&] { dialogs.CancelAll(); });
  benchmark::DoNotOptimize(dialogs.TrackMenu({400, 20}, kBarMenu));
  loop.StopTimer();
}

void BM_FirstMenu(benchmark::State& state) {
  EventLoop loop;
  for (auto _ : state) {
    DialogsProcess dialogs(loop, [] { return DialogOwner{}; }, {DIALOGS_HELPER});
    const auto start = std::chrono::steady_clock::now();
    CancelledMenu(loop, dialogs);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}
BENCHMARK(BM_FirstMenu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_LaterMenu(benchmark::State& state) {
  EventLoop loop;
  DialogsProcess dialogs(loop, [] { return DialogOwner{}; }, {DIALOGS_HELPER});
  CancelledMenu(loop, dialogs);
  for (auto _ : state) CancelledMenu(loop, dialogs);
}
BENCHMARK(BM_LaterMenu)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace
}  // namespace vantrel

BENCHMARK_MAIN();
