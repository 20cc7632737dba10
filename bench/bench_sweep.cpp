// Case-study throughput and memory: sweeps of the default run over the flow
// rate, written as CSV or JSON to /dev/null as a script piping the output would.
//   korvo_cli_bench --benchmark_filter=Sweep
// Points per second on one thread and on every core; the peak resident set of
// a 1,000,000-point sweep, with and without the lines of a plot kept (run
// each alone, first, for a clean figure); grids of 2 x 4,000 and 2 x 20,000
// points with a plot, whose time grows with the points alone.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <thread>

#include "calc/field_names.h"
#include "cli/session.h"
#include "cli/sweep.h"

namespace {

unsigned AllCores() {
  return std::max(1u, std::thread::hardware_concurrency());
}

SweepRequest FlowSweep(long long points, unsigned threads) {
  SweepRequest request;
  request.base = DefaultRunRecord(request.symbols);
  request.axes = {ParseAxis("w=100000:600000:" + std::to_string(points), request.symbols)};
  request.threads = threads;
  return request;
}

// Two flows by `diameters` diameters, the exit pressure kept for a plot.
SweepRequest DiameterGrid(long long diameters) {
  SweepRequest request = FlowSweep(2, AllCores());
  request.axes.push_back(ParseAxis("d=4:12:" + std::to_string(diameters), request.symbols));
  request.plotKeys = {kPressure2};
  return request;
}

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void Run(benchmark::State& state, const SweepRequest& request, Format format = Format::kCsv) {
  const long long points = PointCount(request.axes);
  std::FILE* sink = std::fopen("/dev/null", "w");
  for (auto _ : state) {
    RowStream out(format, sink);
    const SweepTotals totals = RunSweep(request, out, {});
    benchmark::DoNotOptimize(totals.points);
  }
  std::fclose(sink);
  state.counters["points/s"] = benchmark::Counter(static_cast<double>(points),
                                                  benchmark::Counter::kIsIterationInvariantRate);
  state.counters["threads"] = request.threads;
  state.counters["peak_rss_MB"] = PeakResidentMegabytes();
}

void Sweep(benchmark::State& state, long long points, unsigned threads,
           Format format = Format::kCsv) {
  Run(state, FlowSweep(points, threads), format);
}

void BM_Sweep1MillionMemory(benchmark::State& state) {
  Sweep(state, 1'000'000, AllCores());
}
void BM_Sweep1MillionPlotMemory(benchmark::State& state) {
  SweepRequest request = FlowSweep(1'000'000, AllCores());
  request.plotKeys = {kPressure2, kMach2};
  Run(state, request);
}
void BM_SweepGrid2x4000Plot(benchmark::State& state) {
  Run(state, DiameterGrid(4'000));
}
void BM_SweepGrid2x20000Plot(benchmark::State& state) {
  Run(state, DiameterGrid(20'000));
}
void BM_Sweep100kOneThread(benchmark::State& state) {
  Sweep(state, 100'000, 1);
}
void BM_Sweep100kAllCores(benchmark::State& state) {
  Sweep(state, 100'000, AllCores());
}
void BM_Sweep100kOneThreadJson(benchmark::State& state) {
  Sweep(state, 100'000, 1, Format::kJson);
}
void BM_Sweep100kAllCoresJson(benchmark::State& state) {
  Sweep(state, 100'000, AllCores(), Format::kJson);
}

}  // namespace

BENCHMARK(BM_Sweep1MillionMemory)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Sweep1MillionPlotMemory)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_SweepGrid2x4000Plot)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_SweepGrid2x20000Plot)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Sweep100kOneThread)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Sweep100kAllCores)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Sweep100kOneThreadJson)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Sweep100kAllCoresJson)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

BENCHMARK_MAIN();
