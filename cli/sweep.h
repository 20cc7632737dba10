// Case studies: one input varied over a line of values, or two over a grid,
// each point a complete calculation. Points are calculated and formatted in
// parallel in chunks and written in input order as each chunk completes, so
// the output is the same whatever the number of threads and memory stays
// bounded however many points there are.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/inputs.h"
#include "cli/output.h"
#include "cli/plot.h"
#include "engineering/solve.h"

struct SweepAxis {
  FieldRef field{};
  double from = 0;
  double to = 0;
  long long count = 0;
  bool log = false;  // equal ratios instead of equal steps

  // Value of point i; the first is `from` and the last is `to` exactly (a
  // single point is `from`).
  double At(long long i) const;
};

// Parses "KEY=FROM:TO:COUNT" (FROM and TO in the user's number symbols);
// throws UsageError for an unknown or non-numeric-input key, a malformed
// range or a COUNT below 1.
SweepAxis ParseAxis(const std::string& argument, const NumberSymbols& symbols);

// Refuses a logarithmic axis whose range is not above zero.
void CheckLogAxis(const SweepAxis& axis);

// A point's run is the base with the axes' values, prepared (a friction
// factor, a vessel inlet, fittings) and calculated, or solved with every
// candidate prepared. Axis values are in the preparation's units.
struct SweepRequest {
  RunRecord base;  // loaded, --gas and --set applied
  NumberSymbols symbols;
  std::vector<SweepAxis> axes;     // one or two
  std::vector<FieldRef> plotKeys;  // values kept for a plot, in the preparation's units
  unsigned threads = 1;
  Preparation inputs;
  std::optional<SolveSetup> solve;
};

// A grid's plot draws at most this many values of its second input, so that
// its legend stays readable and its lines apart.
inline constexpr long long kMostPlottedValues = 10;

struct SweepTotals {
  long long points = 0;
  long long endedWithMessage = 0;
  // The plot's lines against the first input, fed in input order as the rows
  // are written and sampled to the plot's width, so that memory does not grow
  // with the points: for each plotted value of the second input (a line has
  // one; a grid at most kMostPlottedValues, evenly chosen), one line per plot
  // key. NaN where a point's run ended with a message or has no value.
  std::vector<long long> plottedValues;  // indices of the second input's values
  std::vector<LineSampler> plotLines;    // value after value, key after key
  bool writeFailed = false;
};

// Points done so far, of the total.
using SweepProgress = std::function<void(long long done, long long total)>;

SweepTotals RunSweep(const SweepRequest& request, RowStream& out, const SweepProgress& progress);

// Number of points of the axes; a usage error when it is too large to run.
long long PointCount(const std::vector<SweepAxis>& axes);
