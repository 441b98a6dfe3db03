#pragma once

#include <string>
#include <vector>

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

  // Picks the row named by `connection` (see ChooseInterfaceRow) in the
  // interface table as it stands. With `automatic`, `connection` first
  // becomes the description of the link that carries the route to
  // everywhere (see ChooseAutomaticRow), where there is one.
  //
  // The whole table (and, with `automatic`, the routes) is read only when it
  // may have changed: at the first selection, after OnNetworkChange, when
  // `connection` or `automatic` changed, and while no row is selected. Other
  // selections read the selected link alone, and fall back to the whole
  // table when that link is gone or no longer has the description. Returns
  // false when the table cannot be read; no row is selected then.
  bool SelectInterface(std::string& connection, bool automatic = false);
  const InterfaceRow* SelectedRow() const { return selectedRow_; }

  // The system reported that links came, went or changed (`links`), or that
  // routes changed (`routes`): the next selection reads them afresh.
  void OnNetworkChange(bool links, bool routes);

  // Back to the no-baseline state: the next tick is a sample tick that only
  // takes the baselines.
  void ResetHistory();

  // Starts timing the first sample interval.
  void StartTimeBase();

  // One tick: select, sample on every fifth tick, draw, copy. Always true.
  // A tick whose row is another link than the previous tick's takes it as
  // a new baseline: its first difference is 0.
  bool UpdateBar(std::string& connection, TickPainter& painter, bool automatic = false);

  // Drops the table read last (at shutdown).
  void ReleaseTable();

  TrafficHistory& History() { return history_; }
  const TrafficHistory& History() const { return history_; }

 private:
  void TakeSample(std::int64_t in, std::int64_t out, std::int64_t source, TickValues& tick);
  bool ReadSelectedLinkAlone(const std::string& connection, bool automatic);

  InterfaceTableSource& source_;
  PerfTimer timer_;      // the sample interval
  PerfTimer tickTimer_;  // the interval since the previous tick, for the meters
  InterfaceTable table_;
  const InterfaceRow* selectedRow_ = nullptr;
  TrafficHistory history_;

  // What the last reading of the whole table chose, for the ticks that read
  // the chosen link alone (into single_).
  InterfaceRow single_;
  std::string chosenConnection_;
  std::uint32_t chosenIdentity_ = 0;
  bool chosen_ = false;
  bool chosenAutomatically_ = false;
  bool linksStale_ = true;
  bool routesStale_ = true;
  std::vector<DefaultRoute> routes_;
};

}  // namespace vantrel
