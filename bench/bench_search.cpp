// The exit Mach number and maximum flow searches against the plain marches
// they replace, on the default run and on a large natural-gas line.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "calc/calculate.h"

namespace {

constexpr double kK = 1.31;
constexpr double kM1 = 0.4208202176280419;
constexpr double kC1 = 2.0911828112397273;
const RunInputs kDefaultRun{1.31, 18.02, 740, 986, 600000, 0.975, 6.0, 0.00015, 70.0};
// 46-inch natural-gas line: over 229 million plain steps to its maximum flow.
const RunInputs kGasLine{1.27, 17.4, 1000, 60, 0, 0.9, 46.0, 0.00015, 70.0};

void ExitMachSearch(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SolveExitMach(kK, kM1, kC1));
}
void ExitMachMarch(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SolveExitMachByMarch(kK, kM1, kC1));
}
void MaxFlowSearchDefault(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SearchMaxFlow(kDefaultRun));
}
void MaxFlowMarchDefault(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(MaxFlowByMarch(kDefaultRun, 100'000'000));
}
void MaxFlowSearchGasLine(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SearchMaxFlow(kGasLine));
}
void MaxFlowMarchGasLine(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(MaxFlowByMarch(kGasLine, 1'000'000'000));
}

// The whole Calculate of the default run, texts in and out.
class SilentHost : public CalcHost {
 public:
  void BeginBusy() override {}
  void EndBusy() override {}
  void Repaint() override {}
  void ShowMessage(const std::string&) override {}
  const NumberSymbols& Symbols() const override { return symbols_; }

 private:
  NumberSymbols symbols_;
};

void CalculateDefaultRun(benchmark::State& state) {
  SilentHost host;
  for (auto _ : state) {
    RunRecord run;
    CalculateRun(run, host);
    benchmark::DoNotOptimize(run);
  }
}

}  // namespace

BENCHMARK(ExitMachSearch)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExitMachMarch)->Unit(benchmark::kMillisecond);
BENCHMARK(MaxFlowSearchDefault)->Unit(benchmark::kMicrosecond);
BENCHMARK(MaxFlowMarchDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(MaxFlowSearchGasLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(MaxFlowMarchGasLine)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(CalculateDefaultRun)->Unit(benchmark::kMicrosecond);

namespace {

// Console output as usual, plus the time per run of each benchmark, so that
// the speed-up of every search over its march can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      seconds_[run.run_name.function_name] =
          run.real_accumulated_time / static_cast<double>(run.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatio(const char* label, const char* march, const char* search) const {
    const auto m = seconds_.find(march), s = seconds_.find(search);
    if (m == seconds_.end() || s == seconds_.end()) return;
    std::printf("%-34s march / search = %.0f\n", label, m->second / s->second);
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("Exit Mach number, default run:", "ExitMachMarch", "ExitMachSearch");
  reporter.PrintRatio("Maximum flow, default run:", "MaxFlowMarchDefault", "MaxFlowSearchDefault");
  reporter.PrintRatio("Maximum flow, 46-in gas line:", "MaxFlowMarchGasLine",
                      "MaxFlowSearchGasLine");
  benchmark::Shutdown();
  return 0;
}
