// Reading the live link table and running one tick, on this machine.
//
//   BM_SelectInterface  one SelectInterface over the rtnetlink adapter, on a
//                       steady table: the selected link read alone
//   BM_BareLinkDump     the same RTM_GETLINK dump with nothing done to the
//                       reply but walking its message headers: the floor
//                       that the kernel and the system calls set
//   BM_UpdateBarTick    one tick without drawing (/1: with Automatic on)
//   BM_ParseLinkDump    the reader alone, on a captured reply
//   BM_SysfsHardwareMark telling hardware links through sysfs, as kernels
//                       before 5.14 need, on a steady table
//
// Every benchmark counts heap allocations per iteration (allocs_per_iter);
// after the run the cost of a selection over the bare dump is printed.

#include <benchmark/benchmark.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/HeapAllocations.h"
#include "traffic/MonotonicClock.h"
#include "traffic/TickPainter.h"
#include "traffic/TrafficMonitor.h"
#include "traffic/linux/LinkDumpParser.h"
#include "traffic/linux/NetlinkInterfaceTable.h"
#include "traffic/linux/SysfsHardwareLinks.h"

namespace vantrel {
namespace {

// The bar's drawing steps, reduced to the one result the measurement needs.
class NoDrawing final : public TickPainter {
 public:
  void PaintBackground(TrafficHistory& history) override {
    history.historyLength = HistoryLengthForWidth(1920);
  }
  void DrawSample(const TickValues&, const TrafficHistory&) override {}
  void DrawMeters(std::int64_t, std::int64_t, const TrafficHistory&) override {}
  void CopyToWindow() override {}
};

void BM_SelectInterface(benchmark::State& state) {
  NetlinkInterfaceTable source;
  const auto clock = CreatePlatformClock();
  TrafficMonitor monitor(source, *clock);
  std::string connection;
  // The first selection reads the whole table, the next ones the selected
  // link alone; both kinds are made once before counting starts.
  if (!monitor.SelectInterface(connection) || !monitor.SelectInterface(connection)) {
    state.SkipWithError("the link table cannot be read");
    return;
  }
  const std::uint64_t before = HeapAllocations();
  for (auto _ : state) {
    benchmark::DoNotOptimize(monitor.SelectInterface(connection));
    benchmark::DoNotOptimize(monitor.SelectedRow());
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_SelectInterface)->MinTime(1.0)->Repetitions(5)->ReportAggregatesOnly(true);

// An RTM_GETLINK dump with no more done than sending the request, receiving
// the datagrams and walking their message headers to NLMSG_DONE.
class BareLinkDump {
 public:
  BareLinkDump() : buffer_(32 * 1024) {
    fd_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    if (fd_ >= 0 && bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~BareLinkDump() {
    if (fd_ >= 0) close(fd_);
  }
  bool Ok() const { return fd_ >= 0; }

  // The number of links, or -1.
  int Run() {
    struct {
      nlmsghdr header;
      ifinfomsg link;
    } request{};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = RTM_GETLINK;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = ++sequence_;
    request.link.ifi_family = AF_UNSPEC;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (sendto(fd_, &request, sizeof request, 0, reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) <
        0) {
      return -1;
    }
    int links = 0;
    for (;;) {
      ssize_t received = recv(fd_, buffer_.data(), buffer_.size(), 0);
      if (received <= 0) return -1;
      auto remaining = static_cast<unsigned int>(received);
      for (auto* header = reinterpret_cast<nlmsghdr*>(buffer_.data()); NLMSG_OK(header, remaining);
           header = NLMSG_NEXT(header, remaining)) {
        if (header->nlmsg_type == NLMSG_DONE) return links;
        if (header->nlmsg_type == NLMSG_ERROR) return -1;
        if (header->nlmsg_type == RTM_NEWLINK) ++links;
      }
    }
  }

 private:
  int fd_ = -1;
  std::uint32_t sequence_ = 0;
  std::vector<std::byte> buffer_;
};

void BM_BareLinkDump(benchmark::State& state) {
  BareLinkDump dump;
  if (!dump.Ok() || dump.Run() < 0) {
    state.SkipWithError("the link table cannot be read");
    return;
  }
  const std::uint64_t before = HeapAllocations();
  for (auto _ : state) benchmark::DoNotOptimize(dump.Run());
  ReportAllocations(state, before);
}
BENCHMARK(BM_BareLinkDump)->MinTime(1.0)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_UpdateBarTick(benchmark::State& state) {
  NetlinkInterfaceTable source;
  const auto clock = CreatePlatformClock();
  TrafficMonitor monitor(source, *clock);
  NoDrawing painter;
  std::string connection;
  const bool automatic = state.range(0) != 0;
  monitor.ResetHistory();
  monitor.StartTimeBase();
  // A full round of five ticks first: the automatic choice of an interface,
  // the baselines and the first sample are made before counting starts.
  for (int tick = 0; tick < 10; ++tick) monitor.UpdateBar(connection, painter, automatic);
  if (monitor.SelectedRow() == nullptr) state.SetLabel("no Ethernet or PPP interface");
  const std::uint64_t before = HeapAllocations();
  for (auto _ : state) benchmark::DoNotOptimize(monitor.UpdateBar(connection, painter, automatic));
  ReportAllocations(state, before);
}
BENCHMARK(BM_UpdateBarTick)->Arg(0)->Arg(1)->MinTime(1.0);

void BM_ParseLinkDump(benchmark::State& state) {
  std::ifstream in(VANTREL_LINK_DUMP_SAMPLE, std::ios::binary);
  const std::vector<char> chars{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::span<const std::byte> reply(reinterpret_cast<const std::byte*>(chars.data()), chars.size());
  InterfaceTable table;
  if (ParseLinkDump(reply, table) != LinkDumpStatus::kDone) {
    state.SkipWithError("the captured reply does not read");
    return;
  }
  const std::uint64_t before = HeapAllocations();
  for (auto _ : state) benchmark::DoNotOptimize(ParseLinkDump(reply, table));
  ReportAllocations(state, before);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * reply.size()));
  state.counters["links"] = static_cast<double>(table.Size());
}
BENCHMARK(BM_ParseLinkDump);

void BM_SysfsHardwareMark(benchmark::State& state) {
  NetlinkInterfaceTable source;
  InterfaceTable table;
  SysfsHardwareLinks links;
  if (!source.Read(table)) {
    state.SkipWithError("the link table cannot be read");
    return;
  }
  // The first marking asks sysfs; from the second on the table is steady.
  links.Mark(table);
  links.Mark(table);
  const std::uint64_t before = HeapAllocations();
  for (auto _ : state) links.Mark(table);
  ReportAllocations(state, before);
  state.counters["links"] = static_cast<double>(table.Size());
}
BENCHMARK(BM_SysfsHardwareMark);

// Prints as usual and keeps each benchmark's median times. The cost of a
// reading is compared in CPU time, which takes in the kernel's work in the
// system calls but not the time the machine spent on other programs.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  struct Times {
    double cpu = 0.0;
    double real = 0.0;
  };

  MedianReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians[run.run_name.function_name] = {run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, Times> medians;
};

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  if (!vantrel::AllocationsAreCounted()) return 1;

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  vantrel::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const auto select = reporter.medians.find("BM_SelectInterface");
  const auto bare = reporter.medians.find("BM_BareLinkDump");
  if (select != reporter.medians.end() && bare != reporter.medians.end() && bare->second.cpu > 0 &&
      bare->second.real > 0) {
    std::printf("SelectInterface / bare link dump, median CPU time: %.3f (target <= 1.30); wall time: %.3f\n",
                select->second.cpu / bare->second.cpu, select->second.real / bare->second.real);
  }
  return 0;
}
