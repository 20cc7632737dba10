// Solving for an unknown input: time per solve and the Calculates it uses,
// for each free input, a "=" target, a schedule pick and the 41 solves of a
// sizing chart (one solve per flow, as a sweep with a solve runs them).
//   korvo_solve_bench
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "calc/field_names.h"
#include "engineering/solve.h"

namespace {

const NumberSymbols kSymbols;

RunRecord RunWithFlow(double flow) {
  RunRecord run = DefaultRunRecord(kSymbols);
  Text(run, kFlow) = FormatByPattern(flow, kInputPattern, kSymbols);
  return run;
}

void Solves(benchmark::State& state, double flow, const char* forKey, const char* target,
            const char* schedule) {
  const RunRecord run = RunWithFlow(flow);
  const SolveSetup setup = ParseSolveSetup(forKey, {target}, schedule, kSymbols);
  int calculates = 0;
  for (auto _ : state) {
    const SolveResult result = Solve(run, setup, kSymbols);
    calculates = result.calculates;
    benchmark::DoNotOptimize(result.value);
  }
  state.counters["calculates"] = calculates;
}

BENCHMARK_CAPTURE(Solves, DiameterForADrop, 450000, "d", "dpc<=100", "")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Solves, FlowForAnExitPressure, 600000, "w", "p2>=500", "")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Solves, FlowUpToTheChoke, 600000, "w", "p2>=100", "")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Solves, LengthForAnExitMach, 600000, "l", "m2<=0.7", "")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Solves, InletPressureForAnOutlet, 600000, "p1", "p2>=300", "")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Solves, DiameterNearestAnExitPressure, 600000, "d", "p2=500", "")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Solves, Schedule40ForADrop, 450000, "d", "dpc<=100", "40")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Solves, ScheduleSTDForADrop, 450000, "d", "dpc<=100", "STD")
    ->Unit(benchmark::kMillisecond);

// The sizing chart: the diameter for a 100 psi drop at 41 flows from 100,000
// to 900,000 lb/hr, one after another on one thread.
void SizingChart41(benchmark::State& state) {
  const SolveSetup setup = ParseSolveSetup("d", {"dpc<=100"}, "", kSymbols);
  std::vector<RunRecord> runs;
  for (int i = 0; i < 41; ++i) runs.push_back(RunWithFlow(100000 + 20000.0 * i));
  int calculates = 0;
  for (auto _ : state) {
    calculates = 0;
    for (const RunRecord& run : runs) calculates += Solve(run, setup, kSymbols).calculates;
  }
  state.counters["calculates"] = calculates;
}
BENCHMARK(SizingChart41)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
