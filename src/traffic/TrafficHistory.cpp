#include "traffic/TrafficHistory.h"

namespace vantrel {

void ResetHistory(TrafficHistory& history) {
  history.lastSampleIn = -1;
  history.lastTickIn = -1;
  history.tickPhase = 0;
  history.downloadDeltas.fill(0);
  history.uploadDeltas.fill(0);
  history.writeIndex = 0;
  history.peakUploadRate = 0.0;
  history.peakUploadDelta = 0;
  history.peakDownloadRate = 0.0;
  history.peakDownloadDelta = 0;
}

std::int64_t HistoryLengthForWidth(std::int64_t width) {
  if (width < 800) return 60;
  if (width < 1024) return 120;
  if (width < 1280) return 180;
  return 300;
}

std::int64_t CounterDelta(std::int64_t now, std::int64_t nowSource, std::int64_t baseline,
                          std::int64_t baselineSource) {
  if (nowSource == kNoInterface || nowSource != baselineSource) return 0;
  if (now < baseline) return 0;
  return now - baseline;
}

std::int64_t DifferenceOverNominal(std::int64_t delta, double elapsed, double nominal) {
  if (!(elapsed > 1.5 * nominal)) return delta;
  // Truncated towards zero: never more than the exact difference.
  return static_cast<std::int64_t>(static_cast<double>(delta) * (nominal / elapsed));
}

}  // namespace vantrel
