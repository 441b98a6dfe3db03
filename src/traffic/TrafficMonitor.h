#pragma once

#include <string>

#include "traffic/InterfaceTable.h"
#include "traffic/PerfTimer.h"
#include "traffic/TickPainter.h"
#include "traffic/TrafficHistory.h"

namespace vantrel {

// Samples one interface's counters every tick and turns them into rates,
// peaks and the history ring. The bar window owns one and calls UpdateBar
// from its 200 ms timer.
class TrafficMonitor {
 public:
  TrafficMonitor(InterfaceTableSource& source, MonotonicClock& clock);

  // Reads the interface table afresh and picks the row named by
  // `connection` (see ChooseInterfaceRow). Returns false when the table
  // cannot be read; no row is selected then.
  bool SelectInterface(std::string& connection);
  const InterfaceRow* SelectedRow() const { return selectedRow_; }

  // Back to the no-baseline state: the next tick is a sample tick that only
  // takes the baselines.
  void ResetHistory();

  // Starts timing the first sample interval.
  void StartTimeBase();

  // One tick: select, sample on every fifth tick, draw, copy. Always true.
  bool UpdateBar(std::string& connection, TickPainter& painter);

  // Drops the table read last (at shutdown).
  void ReleaseTable();

  TrafficHistory& History() { return history_; }
  const TrafficHistory& History() const { return history_; }

 private:
  void TakeSample(std::int64_t in, std::int64_t out, std::int64_t source, TickValues& tick);

  InterfaceTableSource& source_;
  PerfTimer timer_;      // the sample interval
  PerfTimer tickTimer_;  // the interval since the previous tick, for the meters
  InterfaceTable table_;
  const InterfaceRow* selectedRow_ = nullptr;
  TrafficHistory history_;
};

}  // namespace vantrel
