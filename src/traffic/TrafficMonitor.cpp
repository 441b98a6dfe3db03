#include "traffic/TrafficMonitor.h"

#include "traffic/ConnectionText.h"
#include "traffic/InterfaceSelection.h"

namespace vantrel {
namespace {

constexpr int kTicksPerSample = 5;

}  // namespace

TrafficMonitor::TrafficMonitor(InterfaceTableSource& source, MonotonicClock& clock)
    : source_(source), timer_(clock), tickTimer_(clock) {
  tickTimer_.ReadPerfFrequency();
  tickTimer_.MarkPerfStart();
}

bool TrafficMonitor::SelectInterface(std::string& connection, bool automatic) {
  if (ReadSelectedLinkAlone(connection, automatic)) return true;
  selectedRow_ = nullptr;
  chosen_ = false;
  if (automatic && routesStale_) {
    source_.ReadDefaultRoutes(routes_);
    routesStale_ = false;
  }
  if (!source_.Read(table_)) {
    table_.Clear();
    return false;
  }
  linksStale_ = false;
  if (automatic) {
    if (const InterfaceRow* carrier = ChooseAutomaticRow(table_.Rows(), routes_)) {
      connection.assign(ClipConnectionText(carrier->description));
    }
  }
  selectedRow_ = ChooseInterfaceRow(table_.Rows(), connection);
  if (selectedRow_ != nullptr) {
    chosen_ = true;
    chosenIdentity_ = selectedRow_->identity;
    chosenConnection_.assign(connection);
    chosenAutomatically_ = automatic;
  }
  return true;
}

bool TrafficMonitor::ReadSelectedLinkAlone(const std::string& connection, bool automatic) {
  if (!chosen_ || linksStale_ || connection != chosenConnection_) return false;
  if (automatic && (routesStale_ || !chosenAutomatically_)) return false;
  if (!source_.ReadOne(chosenIdentity_, single_)) return false;
  // A link renamed since: the table decides again.
  if (ClipConnectionText(single_.description) != connection) return false;
  selectedRow_ = &single_;
  return true;
}

void TrafficMonitor::OnNetworkChange(bool links, bool routes) {
  linksStale_ = linksStale_ || links;
  routesStale_ = routesStale_ || routes;
}

void TrafficMonitor::ResetHistory() {
  vantrel::ResetHistory(history_);
}

void TrafficMonitor::StartTimeBase() {
  timer_.ReadPerfFrequency();
  timer_.MarkPerfStart();
}

void TrafficMonitor::ReleaseTable() {
  selectedRow_ = nullptr;
  chosen_ = false;
  table_.Clear();
}

void TrafficMonitor::TakeSample(std::int64_t in, std::int64_t out, std::int64_t source, TickValues& tick) {
  const double elapsed = timer_.ElapsedSeconds();
  TrafficHistory& h = history_;
  if (h.lastSampleIn >= 0) {
    const std::int64_t dIn = CounterDelta(in, source, h.lastSampleIn, h.lastSampleSource);
    const std::int64_t dOut = CounterDelta(out, source, h.lastSampleOut, h.lastSampleSource);
    // The ring and the peaks take the differences of a nominal interval;
    // the rates stay exact, as they are timed.
    const std::int64_t drawnIn = DifferenceOverNominal(dIn, elapsed, kSampleSeconds);
    const std::int64_t drawnOut = DifferenceOverNominal(dOut, elapsed, kSampleSeconds);
    if (drawnIn > h.peakDownloadDelta) h.peakDownloadDelta = drawnIn;
    if (drawnOut > h.peakUploadDelta) h.peakUploadDelta = drawnOut;
    // A clock that did not move gives no rate rather than an infinite one.
    if (elapsed > 0.0) {
      tick.rateIn = static_cast<double>(dIn) * (1.0 / elapsed);
      tick.rateOut = static_cast<double>(dOut) * (1.0 / elapsed);
    }
    if (tick.rateIn > h.peakDownloadRate) h.peakDownloadRate = tick.rateIn;
    if (tick.rateOut > h.peakUploadRate) h.peakUploadRate = tick.rateOut;
    h.downloadDeltas[static_cast<std::size_t>(h.writeIndex)] = drawnIn;
    h.uploadDeltas[static_cast<std::size_t>(h.writeIndex)] = drawnOut;
    h.writeIndex = static_cast<std::int32_t>((h.writeIndex + 1) % h.historyLength);
  }
  h.lastSampleIn = in;
  h.lastSampleOut = out;
  h.lastSampleSource = source;
  StartTimeBase();
}

bool TrafficMonitor::UpdateBar(std::string& connection, TickPainter& painter, bool automatic) {
  SelectInterface(connection, automatic);
  const double tickSeconds = tickTimer_.Lap();
  TickValues tick;
  std::int64_t source = kNoInterface;
  if (selectedRow_ != nullptr) {
    tick.in = selectedRow_->inOctets;
    tick.out = selectedRow_->outOctets;
    source = selectedRow_->identity;
  }
  const std::int64_t in = CounterValue(tick.in);
  const std::int64_t out = CounterValue(tick.out);

  TrafficHistory& h = history_;
  if (h.tickPhase % kTicksPerSample == 0) {
    painter.PaintBackground(h);
    TakeSample(in, out, source, tick);
    painter.DrawSample(tick, h);
  }
  if (h.lastTickIn >= 0) {
    // Like the ring, the meters compare a tick's worth of traffic with the
    // peak: a tick that came late shows the traffic of a nominal tick.
    const auto tickDelta = [&](std::int64_t now, std::int64_t baseline) {
      return DifferenceOverNominal(CounterDelta(now, source, baseline, h.lastTickSource), tickSeconds,
                                   kTickSeconds);
    };
    painter.DrawMeters(tickDelta(in, h.lastTickIn), tickDelta(out, h.lastTickOut), h);
  }
  h.lastTickIn = in;
  h.lastTickOut = out;
  h.lastTickSource = source;
  painter.CopyToWindow();
  h.tickPhase = (h.tickPhase + 1) % kTicksPerSample;
  return true;
}

}  // namespace vantrel
