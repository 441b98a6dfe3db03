#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace vantrel {

// The heap allocations the program has made so far. A benchmark linked with
// vantrel_bench_allocations counts every operator new.
std::uint64_t HeapAllocations();

// Whether this program's counting operator new is the one in use; says so
// on stderr when it is not, as then the counts mean nothing.
bool AllocationsAreCounted();

// Reports the heap allocations made since `before` per iteration of the
// timed loop (allocs_per_iter); called right after the loop.
void ReportAllocations(benchmark::State& state, std::uint64_t before);

}  // namespace vantrel
