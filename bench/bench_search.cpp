// The exit Mach number and maximum flow searches against the plain marches
// they replace: ordinary runs, a large natural-gas line, inputs far outside
// engineering practice (tiny inlet Mach numbers, lengths at the choking
// length, k up to 1e20, C1 at the stop tolerance) and the slowest class found
// (C1 just above the choking term with k in the millions and beyond), the
// last also on two threads. Then the whole Calculate of the default run, and
// a sweep of it over the flow with and without the maximum-flow memo.
//
// Prints at the end a table of march, search and their ratio per case, with
// a jump's cost in march steps where jumps make most of a search's work (the
// measurement behind kJumpCost), and the evaluations of the default run's
// searches beside the floor of a search that learns one bit per evaluation.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "calc/calculate.h"
#include "calc/field_names.h"
#include "calc/first_step.h"
#include "calc/gas_state.h"

namespace {

// The default run of the window; the cases below change a few of its inputs.
const RunInputs kDefaultRun{1.31, 18.02, 740, 986, 600000, 0.975, 6.0, 0.00015, 70.0};

RunInputs With(RunInputs in, double w, double l, double k = 1.31) {
  in.w = w;
  in.l = l;
  in.k = k;
  return in;
}

// M1 and C1 as the calculation forms them.
struct ExitInputs {
  double k, m1, fld1;
  double fDft;  // f / Dft: C1 per foot of pipe
};

ExitInputs ExitInputsOf(const RunInputs& in) {
  const InletState s = FormInletState(in);
  return {in.k, s.m1, s.fld1, s.f / s.dft};
}

// A trickle of 0.01 lb/hr through a 48-inch pipe at the given k and length;
// `lengthFactor` scales the choking length (1 is the choking length itself).
RunInputs TinyMachRun(double k, double lengthFactor) {
  RunInputs in = With(kDefaultRun, 0.01, 0, k);
  in.d = 48;
  const ExitInputs e = ExitInputsOf(in);
  in.l = CalcMaxPipeLength(k, e.m1, in.d, e.fDft * DiameterFeet(in.d)) * lengthFactor;
  return in;
}

// k 1e20 with a flow giving M1 near 0.4, where F is as good as zero at every
// step, and a pipe length giving C1 a millionth above the stop tolerance: the
// march never stops.
RunInputs AtStopTolerance() {
  RunInputs in = With(kDefaultRun, 5e15, 0, 1e20);
  in.l = kMachTolerance * (1 + 1e-6) / ExitInputsOf(in).fDft;
  return in;
}

// The slowest class found in over a million random runs drawn from wide
// ranges: C1 just above the choking term, the longest pipe the stop tolerance
// still accepts, with k so large that F stays within a few times its rounding
// of the stop for millions of steps, which only a walk can settle. The last
// is the slowest run of the first million (there the choking length to six
// decimals).
const RunInputs kSlowRuns[] = {{3.98e+12, 365.444962, 3.202312, 606.810818, 1321740.949517,
                                0.070192, 0.959917734, 0.000240058, 3.0671994089532217e-06},
                               {269774309910.499451, 41.337059, 6.684304989569811, 340.115964,
                                17894.37, 0.932, 7.540526, 0.00125, 89.400971173408848},
                               {1875657.918775, 8.45, 5.56, 2748.666331680955, 0.006211, 0.762084,
                                0.093605, 0.0019249200469240205, 2007.045642421258},
                               {64098328.953825, 57.376581, 14.806056, 1745.761493, 44.224901,
                                1.065480, 2.129867, 0.002403, 37133.361595}};

struct Case {
  std::string name;
  bool exitMach;  // else the maximum flow
  RunInputs in;
  bool onTwoThreads = false;
};

std::vector<Case> Cases() {
  RunInputs gasLine{1.27, 17.4, 1000, 60, 0, 0.9, 46.0, 0.00015, 70.0};
  RunInputs tinyFlowMach = kDefaultRun;  // 100 lb/hr at Mach 4e-5
  tinyFlowMach.d = 48;
  tinyFlowMach.p1 = 14.7;
  RunInputs tinyFlowMachLong = tinyFlowMach;
  tinyFlowMachLong.l = 1e7;
  return {
      {"Exit Mach, default run", true, kDefaultRun},
      {"Exit Mach, W 1, L 1e14", true, With(kDefaultRun, 1, 1e14)},
      {"Exit Mach, W 0.01, L 1e18", true, With(kDefaultRun, 0.01, 1e18)},
      {"Exit Mach, k 1e20, L 200", true, With(kDefaultRun, 600000, 200, 1e20)},
      {"Exit Mach, W 0.01, D 48, at choking L", true, TinyMachRun(1.31, 1)},
      {"Exit Mach, W 0.01, D 48, L - 1e-15", true, TinyMachRun(1.31, 1 - 1e-15)},
      {"Exit Mach, W 0.01, D 48, L + 1e-15", true, TinyMachRun(1.31, 1 + 1e-15)},
      {"Exit Mach, W 0.01, D 48, k 1.0001", true, TinyMachRun(1.0001, 1)},
      {"Exit Mach, W 0.01, D 48, k 1e20", true, TinyMachRun(1e20, 1)},
      {"Exit Mach, k 1e20, C1 at tolerance", true, AtStopTolerance()},
      {"Exit Mach, slow: k 4e12, M1 6.6e-5", true, kSlowRuns[0], true},
      {"Exit Mach, slow: k 2.7e11, M1 9.1e-7", true, kSlowRuns[1], true},
      {"Exit Mach, slow: k 1.9e6, M1 3.4e-6", true, kSlowRuns[2], true},
      {"Exit Mach, worst found: k 6.4e7, M1 1.3e-6", true, kSlowRuns[3], true},
      {"Max flow, default run", false, kDefaultRun},
      {"Max flow, 46-in gas line", false, gasLine},
      {"Max flow, D 48, P1 14.7, L 70", false, tinyFlowMach},
      {"Max flow, D 48, P1 14.7, L 1e7", false, tinyFlowMachLong},
      {"Max flow, k 1e20", false, With(kDefaultRun, 0, 70, 1e20)},
  };
}

// Enough for the longest march here (the gas line: over 229 million steps).
constexpr std::uint64_t kMarchBound = 1'000'000'000;

// What one search did: its steps, work, jumps and evaluations; the march's work.
struct Counts {
  std::uint64_t steps, work, jumps, evaluations, marchWork;
};

Counts CountsOf(const Case& c) {
  if (c.exitMach) {
    const ExitInputs e = ExitInputsOf(c.in);
    const ExitMachSolution s = SolveExitMach(e.k, e.m1, e.fld1);
    return {s.steps, s.work, s.jumps, s.evaluations, s.choked ? s.steps : s.steps + 1};
  }
  const MaxFlowSearch s = CalcMaxFlowRate(c.in, FormInletState(c.in));
  return {s.steps, s.work, s.jumps, s.evaluations, s.steps + 1};
}

void RegisterExitMach(const Case& c) {
  const ExitInputs e = ExitInputsOf(c.in);
  benchmark::RegisterBenchmark((c.name + "/march").c_str(), [e](benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SolveExitMachByMarch(e.k, e.m1, e.fld1));
  });
  benchmark::RegisterBenchmark((c.name + "/search").c_str(), [e](benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SolveExitMach(e.k, e.m1, e.fld1));
  });
  if (!c.onTwoThreads) return;
  benchmark::RegisterBenchmark((c.name + "/search, 2 threads").c_str(),
                               [e](benchmark::State& state) {
                                 for (auto _ : state)
                                   benchmark::DoNotOptimize(SolveExitMach(e.k, e.m1, e.fld1, 2));
                               })
      ->UseRealTime();
}

void RegisterMaxFlow(const Case& c) {
  const RunInputs in = c.in;
  const InletState inlet = FormInletState(in);
  benchmark::RegisterBenchmark((c.name + "/march").c_str(), [in, inlet](benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(MaxFlowByMarch(in, inlet, kMarchBound));
  });
  benchmark::RegisterBenchmark((c.name + "/search").c_str(), [in, inlet](benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(CalcMaxFlowRate(in, inlet));
  });
}

// The whole Calculate of the default run, texts in and out.
void CalculateDefaultRun(benchmark::State& state) {
  const NumberSymbols symbols;
  for (auto _ : state) {
    RunRecord run;
    benchmark::DoNotOptimize(CalculateQuietly(run, symbols));
  }
}

// The calculation as the front ends without a window run it: the default
// run's texts in, texts and full-precision values out. The Python module's
// benchmark (python_bench.py) sets its calculate() against this.
void CalculateQuietlyDefaultRun(benchmark::State& state) {
  const NumberSymbols symbols;
  for (auto _ : state) {
    RunRecord run;
    benchmark::DoNotOptimize(CalculateQuietly(run, symbols));
  }
}

// A sweep of the default run over the flow, 1,000 points from 100,000 to
// 600,000 lb/hr, as one thread of a sweep calculates it; with the memo the
// maximum flow is searched once.
void FlowSweep(benchmark::State& state, bool withMemo) {
  const NumberSymbols symbols;
  constexpr int kPoints = 1000;
  for (auto _ : state) {
    MaxFlowMemo memo;
    for (int i = 0; i < kPoints; ++i) {
      RunRecord run;
      Text(run, kFlow) = FormatByPattern(100000.0 + 500.0 * i, kInputPattern, symbols);
      benchmark::DoNotOptimize(CalculateQuietly(run, symbols, withMemo ? &memo : nullptr));
    }
  }
  state.counters["points/s"] =
      benchmark::Counter(kPoints, benchmark::Counter::kIsIterationInvariantRate);
}

// Console output as usual, plus the time per run of each benchmark (CPU time,
// or real time where the benchmark asks for it), for the table at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const double total =
          run.run_name.time_type.empty() ? run.cpu_accumulated_time : run.real_accumulated_time;
      seconds_[run.run_name.function_name] = total / static_cast<double>(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintTable(const std::vector<Case>& cases) const {
    std::printf(
        "\n| Case | Plain march | Search | March / search | Search, 2 threads (wall) | "
        "Jump, march steps |\n|---|---|---|---|---|---|\n");
    for (const Case& c : cases) {
      const double march = Seconds(c.name + "/march"), search = Seconds(c.name + "/search");
      if (!(march > 0 && search > 0)) continue;
      const double parallel = Seconds(c.name + "/search, 2 threads");
      std::printf("| %s | %s | %s | %.0f | %s | %s |\n", c.name.c_str(), Time(march).c_str(),
                  Time(search).c_str(), march / search, parallel > 0 ? Time(parallel).c_str() : "",
                  JumpCost(c, march, search).c_str());
    }
    const double calculate = Seconds("Calculate, default run");
    if (calculate > 0)
      std::printf("| Whole Calculate, default run | | %s | | | |\n", Time(calculate).c_str());
  }

  static void PrintFloor() {
    const Counts exit = CountsOf({"", true, kDefaultRun}),
                 flow = CountsOf({"", false, kDefaultRun});
    const auto floor = [](const Counts& c) { return std::ceil(std::log2(c.steps + 1.0)); };
    std::printf(
        "\nDefault run: %llu + %llu evaluations of F (exit Mach, maximum flow); a search "
        "learning one bit per evaluation needs %.0f + %.0f.\n",
        static_cast<unsigned long long>(exit.evaluations),
        static_cast<unsigned long long>(flow.evaluations), floor(exit), floor(flow));
  }

 private:
  double Seconds(const std::string& name) const {
    const auto found = seconds_.find(name);
    return found == seconds_.end() ? 0.0 : found->second;
  }

  // A jump's time in march steps, where jumps make most of the search's
  // work: the search's time less the rest of its counted work (walked steps
  // and binade edges at a march step each), per jump.
  static std::string JumpCost(const Case& c, double march, double search) {
    const Counts n = CountsOf(c);
    const std::uint64_t rest = n.work - kJumpCost * n.jumps;
    if (n.jumps == 0 || n.evaluations - n.jumps > n.jumps) return "";
    const double marchStep = march / static_cast<double>(n.marchWork);
    char text[16];
    std::snprintf(text, sizeof text, "%.1f",
                  (search / marchStep - static_cast<double>(rest)) / static_cast<double>(n.jumps));
    return text;
  }

  static std::string Time(double seconds) {
    char text[32];
    if (seconds >= 1e-3) {
      std::snprintf(text, sizeof text, "%.1f ms", seconds * 1e3);
    } else {
      std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
    }
    return text;
  }

  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Case> cases = Cases();
  for (const Case& c : cases) c.exitMach ? RegisterExitMach(c) : RegisterMaxFlow(c);
  benchmark::RegisterBenchmark("Calculate, default run", CalculateDefaultRun);
  benchmark::RegisterBenchmark("CalculateQuietly, default run", CalculateQuietlyDefaultRun);
  benchmark::RegisterBenchmark("Flow sweep, 1000 points", FlowSweep, false)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Flow sweep, 1000 points, maximum flow memo", FlowSweep, true)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintTable(cases);
  RatioReporter::PrintFloor();
  benchmark::Shutdown();
  return 0;
}
