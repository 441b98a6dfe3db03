// Every heap allocation of a benchmark program is counted: the global
// allocation functions are replaced by ones that count and then use malloc.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "support/HeapAllocations.h"

namespace {
std::atomic<std::uint64_t> allocations{0};

void* CountedAllocate(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void* CountedAllocateAligned(std::size_t size, std::align_val_t alignment) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  const auto align = static_cast<std::size_t>(alignment);
  if (void* block = std::aligned_alloc(align, (size + align - 1) / align * align)) return block;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) {
  return CountedAllocate(size);
}
void* operator new[](std::size_t size) {
  return CountedAllocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return CountedAllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return CountedAllocateAligned(size, alignment);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
  std::free(block);
}

namespace vantrel {

std::uint64_t HeapAllocations() {
  return allocations.load(std::memory_order_relaxed);
}

bool AllocationsAreCounted() {
  const std::uint64_t before = HeapAllocations();
  std::vector<int> probe(64);
  benchmark::DoNotOptimize(probe.data());
  if (HeapAllocations() != before) return true;
  std::fprintf(stderr, "heap allocations are not being counted\n");
  return false;
}

// Reports the heap allocations made since `before` per iteration of the
// timed loop; called right after the loop.
void ReportAllocations(benchmark::State& state, std::uint64_t before) {
  const auto counted = static_cast<double>(HeapAllocations() - before);
  const auto iterations = static_cast<double>(state.iterations());
  state.counters["allocs_per_iter"] = benchmark::Counter(iterations == 0 ? 0.0 : counted / iterations);
}

}  // namespace vantrel
