#pragma once

#include <array>
#include <cstdint>

namespace vantrel {

inline constexpr int kHistorySlots = 300;

// Marks a baseline or reading that did not come from a selected interface.
inline constexpr std::int64_t kNoInterface = -1;

// The measurement state of the bar: baselines, the ring of differences per
// sample interval, and the peaks since the last reset.
struct TrafficHistory {
  std::int32_t tickPhase = 0;      // 0..4; a tick starting at 0 is a sample tick
  std::int64_t lastSampleIn = -1;  // counter at the previous sample tick; -1: no baseline
  std::int64_t lastSampleOut = 0;  // valid exactly when lastSampleIn >= 0
  std::int64_t lastTickIn = -1;    // counter at the previous tick; -1: no baseline
  std::int64_t lastTickOut = 0;    // valid exactly when lastTickIn >= 0
  std::array<std::int64_t, kHistorySlots> downloadDeltas{};
  std::array<std::int64_t, kHistorySlots> uploadDeltas{};
  std::int64_t historyLength = 60;  // ring slots in use: 60, 120, 180 or 300
  std::int64_t peakDownloadDelta = 0;
  std::int64_t peakUploadDelta = 0;
  double peakDownloadRate = 0.0;
  double peakUploadRate = 0.0;
  std::int32_t writeIndex = 0;  // next slot to write; also the oldest sample

  // Which interface each baseline was read from (its identity), or
  // kNoInterface when no interface was selected on that tick. A difference
  // is only formed between two readings of the same interface.
  std::int64_t lastSampleSource = kNoInterface;
  std::int64_t lastTickSource = kNoInterface;

  // The slot of the j-th sample, oldest first (j = historyLength - 1 is the
  // newest).
  int SlotOf(std::int64_t j) const { return static_cast<int>((writeIndex + j) % historyLength); }
};

// The nominal lengths of a sample interval (five ticks) and of one tick.
inline constexpr double kSampleSeconds = 1.0;
inline constexpr double kTickSeconds = 0.2;

// The difference `delta`, counted over `elapsed` seconds, as the graphs,
// peaks and meters take it. An interval of up to 1.5 times its `nominal`
// length keeps its exact difference. A longer one (the process was stopped,
// the machine overloaded, a virtual machine paused) gives the difference
// scaled down to the nominal length, so that one stall neither draws a
// column of the whole stall nor raises the peak difference for good.
std::int64_t DifferenceOverNominal(std::int64_t delta, double elapsed, double nominal);

// Returns `history` to the no-baseline state. historyLength stays as it is.
void ResetHistory(TrafficHistory& history);

// Ring slots in use for a client `width` in pixels.
std::int64_t HistoryLengthForWidth(std::int64_t width);

// The growth of a counter from `baseline` to `now`, both read from the
// interfaces named by the sources. Zero unless both readings come from the
// same interface; zero when the counter went backwards (the interface was
// re-created or reset), since its earlier count is then lost.
std::int64_t CounterDelta(std::int64_t now, std::int64_t nowSource, std::int64_t baseline,
                          std::int64_t baselineSource);

}  // namespace vantrel
