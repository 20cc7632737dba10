// Case-study throughput and memory: sweeps of the default run over the flow
// rate, written as CSV or JSON to /dev/null as a script piping the output would.
//   korvo_cli_bench --benchmark_filter=Sweep
// Points per second on one thread and on every core; the peak resident set of
// a 1,000,000-point sweep (run it alone, first, for a clean figure).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <thread>

#include "cli/session.h"
#include "cli/sweep.h"

namespace {

SweepRequest FlowSweep(long long points, unsigned threads) {
  SweepRequest request;
  request.base = DefaultRunRecord(request.symbols);
  request.axes = {ParseAxis("w=100000:600000:" + std::to_string(points), request.symbols)};
  request.threads = threads;
  return request;
}

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void Sweep(benchmark::State& state, long long points, unsigned threads,
           Format format = Format::kCsv) {
  const SweepRequest request = FlowSweep(points, threads);
  std::FILE* sink = std::fopen("/dev/null", "w");
  for (auto _ : state) {
    RowStream out(format, sink);
    const SweepTotals totals = RunSweep(request, out, {});
    benchmark::DoNotOptimize(totals.points);
  }
  std::fclose(sink);
  state.counters["points/s"] = benchmark::Counter(static_cast<double>(points),
                                                  benchmark::Counter::kIsIterationInvariantRate);
  state.counters["threads"] = threads;
  state.counters["peak_rss_MB"] = PeakResidentMegabytes();
}

unsigned AllCores() {
  return std::max(1u, std::thread::hardware_concurrency());
}

void BM_Sweep1MillionMemory(benchmark::State& state) {
  Sweep(state, 1'000'000, AllCores());
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
BENCHMARK(BM_Sweep100kOneThread)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Sweep100kAllCores)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Sweep100kOneThreadJson)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Sweep100kAllCoresJson)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

BENCHMARK_MAIN();
