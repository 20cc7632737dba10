// The exit Mach number and maximum flow searches against the plain marches
// they replace: ordinary runs, a large natural-gas line, and inputs far outside
// engineering practice (tiny inlet Mach numbers, lengths at the choking length,
// k up to 1e20, C1 at the stop tolerance). Prints a table of march, search and
// their ratio per case at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "calc/calculate.h"
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

// The slowest run found in over a million random runs drawn from wide ranges,
// most of them with lengths near the choking length (here the choking length
// to six decimals): with k this large F is so flat that it stays within a few
// units in its last place of the stop over millions of steps, which only a
// walk can settle.
const RunInputs kWorstRun{64098328.953825, 57.376581, 14.806056, 1745.761493, 44.224901,
                          1.065480,        2.129867,  0.002403,  37133.361595};

struct Case {
  std::string name;
  bool exitMach;  // else the maximum flow
  RunInputs in;
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
      {"Exit Mach, worst found: k 6.4e7, M1 1.3e-6", true, kWorstRun},
      {"Max flow, default run", false, kDefaultRun},
      {"Max flow, 46-in gas line", false, gasLine},
      {"Max flow, D 48, P1 14.7, L 70", false, tinyFlowMach},
      {"Max flow, D 48, P1 14.7, L 1e7", false, tinyFlowMachLong},
      {"Max flow, k 1e20", false, With(kDefaultRun, 0, 70, 1e20)},
  };
}

// Enough for the longest march here (the gas line: over 229 million steps).
constexpr std::uint64_t kMarchBound = 1'000'000'000;

void Register(const Case& c) {
  if (c.exitMach) {
    const ExitInputs e = ExitInputsOf(c.in);
    benchmark::RegisterBenchmark((c.name + "/march").c_str(), [e](benchmark::State& state) {
      for (auto _ : state) benchmark::DoNotOptimize(SolveExitMachByMarch(e.k, e.m1, e.fld1));
    });
    benchmark::RegisterBenchmark((c.name + "/search").c_str(), [e](benchmark::State& state) {
      for (auto _ : state) benchmark::DoNotOptimize(SolveExitMach(e.k, e.m1, e.fld1));
    });
  } else {
    const RunInputs in = c.in;
    const InletState inlet = FormInletState(in);
    benchmark::RegisterBenchmark((c.name + "/march").c_str(), [in, inlet](benchmark::State& state) {
      for (auto _ : state) benchmark::DoNotOptimize(MaxFlowByMarch(in, inlet, kMarchBound));
    });
    benchmark::RegisterBenchmark((c.name + "/search").c_str(),
                                 [in, inlet](benchmark::State& state) {
                                   for (auto _ : state)
                                     benchmark::DoNotOptimize(CalcMaxFlowRate(in, inlet));
                                 });
  }
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

// Console output as usual, plus the CPU time per run of each benchmark, so
// that the table of march, search and ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      seconds_[run.run_name.function_name] =
          run.cpu_accumulated_time / static_cast<double>(run.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintTable(const std::vector<Case>& cases) const {
    std::printf("\n| Case | Plain march | Search | March / search |\n|---|---|---|---|\n");
    for (const Case& c : cases) {
      const auto m = seconds_.find(c.name + "/march"), s = seconds_.find(c.name + "/search");
      if (m == seconds_.end() || s == seconds_.end()) continue;
      std::printf("| %s | %s | %s | %.0f |\n", c.name.c_str(), Time(m->second).c_str(),
                  Time(s->second).c_str(), m->second / s->second);
    }
  }

 private:
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
  for (const Case& c : cases) Register(c);
  benchmark::RegisterBenchmark("Calculate, default run", CalculateDefaultRun);
  benchmark::RegisterBenchmark("CalculateQuietly, default run", CalculateQuietlyDefaultRun);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintTable(cases);
  benchmark::Shutdown();
  return 0;
}
