#include "cli/sweep.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "cli/session.h"
#include "cli/solve_command.h"

namespace {

const char* const kAxisNames[] = {"i", "j"};

// Points calculated between two writes: large enough to keep every thread
// busy, small enough that the pending rows take a few megabytes.
constexpr long long kChunkPerThread = 512;
constexpr long long kMaxPoints = 1'000'000'000;

struct PointResult {
  std::string line;
  bool complete = false;
  std::vector<double> plotValues;
};

// An axis value as a point's input text: as the window keeps a typed entry,
// or, given in SI, the US value at full precision.
std::string AxisText(const SweepRequest& request, const SweepAxis& axis, double value) {
  if (request.inputs.units == UnitSystem::Us) {
    return FormatByPattern(value, kInputPattern, request.symbols);
  }
  return ShortestText(FromUnits(axis.field, value, request.inputs.units), request.symbols);
}

PointResult CalculatePoint(const SweepRequest& request, const RowFormat& format, long long point,
                           MaxFlowMemo& memo) {
  RunRecord run = request.base;
  Row row;
  long long rest = point;
  std::vector<long long> index(request.axes.size());
  for (std::size_t a = request.axes.size(); a-- > 0;) {
    index[a] = rest % request.axes[a].count;
    rest /= request.axes[a].count;
  }
  for (std::size_t a = 0; a < request.axes.size(); ++a) {
    const SweepAxis& axis = request.axes[a];
    row.push_back(CountCell(kAxisNames[a], index[a]));
    Text(run, axis.field) = AxisText(request, axis, axis.At(index[a]));
  }
  PointResult result;
  if (request.solve) {
    SolvedRun solved = SolveRun(run, *request.solve, request.inputs, request.symbols);
    result.complete = solved.complete;
    row.insert(row.end(), solved.cells.begin(), solved.cells.end());
  } else {
    PreparedRun prepared = CalculatePrepared(run, request.inputs, request.symbols, &memo);
    result.complete = prepared.complete;
    row.insert(row.end(), prepared.cells.begin(), prepared.cells.end());
  }
  result.line = format.Record(row);
  // A plotted line stops at the last point whose run completed, even where a
  // run that ended with a message had written the field before it stopped.
  for (const FieldRef& ref : request.plotKeys) {
    const auto value = CellOf(row, Key(ref)).value;
    result.plotValues.push_back(value && result.complete ? *value : std::nan(""));
  }
  return result;
}

// Calculates points [first, first + results.size()) on `threads` threads,
// thread t keeping its maximum-flow searches in memos[t] from chunk to chunk.
void CalculateChunk(const SweepRequest& request, const RowFormat& format, long long first,
                    std::vector<PointResult>& results, std::vector<MaxFlowMemo>& memos) {
  std::atomic<std::size_t> next{0};
  const auto work = [&](MaxFlowMemo& memo) {
    for (std::size_t i = next++; i < results.size(); i = next++) {
      results[i] = CalculatePoint(request, format, first + static_cast<long long>(i), memo);
    }
  };
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < memos.size(); ++t) helpers.emplace_back(work, std::ref(memos[t]));
  work(memos.front());
  for (std::thread& helper : helpers) helper.join();
}

long long InnerCount(const SweepRequest& request) {
  return request.axes.size() == 2 ? request.axes[1].count : 1;
}

void BeginPlot(const SweepRequest& request, SweepTotals& totals) {
  if (request.plotKeys.empty()) return;
  totals.plottedValues = EvenlyChosen(InnerCount(request), kMostPlottedValues);
  totals.plotLines.resize(totals.plottedValues.size() * request.plotKeys.size());
}

// A point's plot values to their lines, where its value of the second input
// is plotted.
void FeedPlot(const SweepRequest& request, long long point, const std::vector<double>& values,
              SweepTotals& totals) {
  if (values.empty()) return;
  const long long i = point / InnerCount(request), j = point % InnerCount(request);
  const std::vector<long long>& plotted = totals.plottedValues;
  const auto value = std::lower_bound(plotted.begin(), plotted.end(), j);
  if (value == plotted.end() || *value != j) return;
  const SweepAxis& x = request.axes.front();
  const double at = x.count > 1 ? static_cast<double>(i) / static_cast<double>(x.count - 1) : 0.0;
  const auto first = static_cast<std::size_t>(value - plotted.begin()) * values.size();
  for (std::size_t k = 0; k < values.size(); ++k) {
    totals.plotLines[first + k].Add(at, QPointF(x.At(i), values[k]));
  }
}

// The shape of every point's row: the axis indices and the run's cells.
Row Shape(const SweepRequest& request) {
  Row row;
  for (std::size_t a = 0; a < request.axes.size(); ++a) row.push_back(CountCell(kAxisNames[a], 0));
  Row cells;
  if (request.solve) {
    cells = SolvedShape(request.base, *request.solve, request.inputs, request.symbols);
  } else {
    AppendRun(cells, request.base, "", request.symbols);
    const Row prepared = PreparedShape(request.inputs);
    cells.insert(cells.end(), prepared.begin(), prepared.end());
    ShowInUnits(cells, request.inputs.units, request.symbols);
  }
  row.insert(row.end(), cells.begin(), cells.end());
  return row;
}

}  // namespace

double SweepAxis::At(long long i) const {
  if (i == 0 || count < 2) return from;
  if (i == count - 1) return to;
  const double t = static_cast<double>(i) / static_cast<double>(count - 1);
  return log ? from * std::pow(to / from, t) : from + (to - from) * t;
}

SweepAxis ParseAxis(const std::string& argument, const NumberSymbols& symbols) {
  const std::string where = "--vary " + argument;
  const std::size_t equals = argument.find('=');
  if (equals == 0 || equals == std::string::npos) {
    throw UsageError(where + ": expected KEY=FROM:TO:COUNT");
  }
  SweepAxis axis;
  axis.field = RequireField(argument.substr(0, equals), "--vary");
  if (!IsNumericInput(axis.field)) throw UsageError(where + ": only a numeric input can be varied");
  std::vector<std::string> parts;
  for (std::size_t at = equals + 1;;) {
    const std::size_t colon = argument.find(':', at);
    parts.push_back(argument.substr(at, colon - at));
    if (colon == std::string::npos) break;
    at = colon + 1;
  }
  const auto malformed = [&] {
    return UsageError(where + ": malformed range, expected FROM:TO:COUNT");
  };
  if (parts.size() != 3) throw malformed();
  const auto from = TypedNumber(parts[0], symbols);
  const auto to = TypedNumber(parts[1], symbols);
  std::size_t used = 0;
  try {
    axis.count = std::stoll(parts[2], &used);
  } catch (const std::exception&) {
    throw malformed();
  }
  if (!from || !to || used != parts[2].size()) throw malformed();
  if (axis.count < 1) throw UsageError(where + ": COUNT must be at least 1");
  axis.from = *from;
  axis.to = *to;
  return axis;
}

void CheckLogAxis(const SweepAxis& axis) {
  if (!(axis.from > 0 && axis.to > 0)) {
    throw UsageError("--vary " + std::string(Key(axis.field)) +
                     ": --log needs FROM and TO above zero");
  }
}

long long PointCount(const std::vector<SweepAxis>& axes) {
  long long points = 1;
  for (const SweepAxis& axis : axes) {
    if (axis.count > kMaxPoints / points) {
      throw UsageError("--vary: more than 1,000,000,000 points");
    }
    points *= axis.count;
  }
  return points;
}

SweepTotals RunSweep(const SweepRequest& request, RowStream& out, const SweepProgress& progress) {
  SweepTotals totals;
  totals.points = PointCount(request.axes);
  out.Begin(Shape(request));
  BeginPlot(request, totals);
  const long long chunk = kChunkPerThread * std::max(1u, request.threads);
  std::vector<PointResult> results;
  std::vector<MaxFlowMemo> memos(std::max(1u, request.threads));
  for (long long first = 0; first < totals.points && !out.Failed(); first += chunk) {
    results.assign(static_cast<std::size_t>(std::min(chunk, totals.points - first)), {});
    CalculateChunk(request, out.Formatter(), first, results, memos);
    for (std::size_t r = 0; r < results.size(); ++r) {
      out.WriteRecord(results[r].line);
      if (!results[r].complete) ++totals.endedWithMessage;
      FeedPlot(request, first + static_cast<long long>(r), results[r].plotValues, totals);
    }
    if (progress) progress(first + static_cast<long long>(results.size()), totals.points);
  }
  for (LineSampler& line : totals.plotLines) line.Finish();
  totals.writeFailed = !out.End();
  return totals;
}
