// A case study on every core: one input varied over a line of values, or two
// over a grid, each point a complete calculation whose numbers go straight
// into columns that the caller allocated (the module's numpy arrays), so the
// only memory a sweep takes beyond one run per thread is its result.
#pragma once

#include <functional>
#include <vector>

#include "calc/calculate.h"
#include "engineering/units.h"

// A varied input and its values in US units, as the run will hold them.
struct SweepAxisValues {
  FieldRef field;
  std::vector<double> values;
};

struct SweepPlan {
  RunRecord base;                     // every other input as it stays
  std::vector<SweepAxisValues> axes;  // one or two; a grid's second varies fastest
  std::vector<FieldRef> keys;         // the fields written into the columns
  UnitSystem units = UnitSystem::Us;  // of the numbers in the columns
  unsigned threads = 1;
};

// The number of points: the product of the axes' lengths.
std::size_t PointCount(const SweepPlan& plan);

// Where the points go: for each key of the plan a column of PointCount()
// doubles (NaN where a point has no number), and each point's outcome.
struct SweepColumns {
  std::vector<double*> columns;
  CalcOutcome* ends;
};

// Calculates every point on the plan's threads, in blocks taken in turn. The
// calling thread only waits, asking `keepGoing` about ten times a second; once
// it says no, the threads stop after their current point and the sweep
// returns false. An exception in a thread stops the others and is thrown here.
bool SweepPoints(const SweepPlan& plan, const SweepColumns& out,
                 const std::function<bool()>& keepGoing);
