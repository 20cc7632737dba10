#include "cli/sweep.h"

#include <QStringList>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "cli/session.h"

namespace {

// Points calculated between two writes: large enough to keep every thread
// busy, small enough that the pending rows take a few megabytes.
constexpr long long kChunkPerThread = 512;
constexpr long long kMaxPoints = 1'000'000'000;

struct PointResult {
  std::string line;
  bool complete = false;
  std::vector<double> plotValues;
};

PointResult CalculatePoint(const SweepRequest& request, long long point) {
  RunRecord run = request.base;
  Row row;
  long long rest = point;
  std::vector<long long> index(request.axes.size());
  for (std::size_t a = request.axes.size(); a-- > 0;) {
    index[a] = rest % request.axes[a].count;
    rest /= request.axes[a].count;
  }
  const char* names[] = {"i", "j"};
  for (std::size_t a = 0; a < request.axes.size(); ++a) {
    row.push_back(CountCell(names[a], index[a]));
    Text(run, request.axes[a].field->ref) =
        TypedText(request.axes[a].At(index[a]), request.symbols);
  }
  const Calculated calculated = Calculate(run, request.symbols);
  AppendRun(row, run, RunEnd(calculated.outcome, request.symbols), request.symbols,
            calculated.values);
  PointResult result;
  result.complete = calculated.outcome.Complete();
  result.line = request.format == Format::Json ? JsonObject(row) : CsvRecord(row);
  for (const FieldRef& ref : request.plotKeys) {
    const auto value = NumberValue(Text(run, ref), request.symbols, calculated.values.Of(ref));
    result.plotValues.push_back(value ? *value : std::nan(""));
  }
  return result;
}

// Calculates points [first, first + results.size()) on `threads` threads.
void CalculateChunk(const SweepRequest& request, long long first,
                    std::vector<PointResult>& results) {
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < results.size(); i = next++) {
      results[i] = CalculatePoint(request, first + static_cast<long long>(i));
    }
  };
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < request.threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
}

std::string HeaderLine(const SweepRequest& request) {
  if (request.format == Format::Json) return "[\n";
  Row row;
  const char* names[] = {"i", "j"};
  for (std::size_t a = 0; a < request.axes.size(); ++a) row.push_back(CountCell(names[a], 0));
  AppendRun(row, request.base, "", request.symbols);
  return CsvHeader(row);
}

bool Write(std::FILE* out, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

}  // namespace

double SweepAxis::At(long long i) const {
  if (i == 0 || count < 2) return from;
  if (i == count - 1) return to;
  const double t = static_cast<double>(i) / static_cast<double>(count - 1);
  return log ? from * std::pow(to / from, t) : from + (to - from) * t;
}

SweepAxis ParseAxis(const QString& argument, bool log, const NumberSymbols& symbols) {
  const std::string where = "--vary " + argument.toStdString();
  const qsizetype equals = argument.indexOf('=');
  if (equals <= 0) throw UsageError(where + ": expected KEY=FROM:TO:COUNT");
  SweepAxis axis;
  axis.field = &RequireField(argument.left(equals), "--vary");
  if (!IsNumericInput(axis.field->ref)) {
    throw UsageError(where + ": only a numeric input can be varied");
  }
  const QStringList parts = argument.mid(equals + 1).split(':');
  if (parts.size() != 3) throw UsageError(where + ": malformed range, expected FROM:TO:COUNT");
  const auto from = TypedNumber(parts[0].toStdString(), symbols);
  const auto to = TypedNumber(parts[1].toStdString(), symbols);
  bool countOk = false;
  axis.count = parts[2].toLongLong(&countOk);
  if (!from || !to || !countOk) {
    throw UsageError(where + ": malformed range, expected FROM:TO:COUNT");
  }
  if (axis.count < 1) throw UsageError(where + ": COUNT must be at least 1");
  axis.from = *from;
  axis.to = *to;
  axis.log = log;
  if (log && !(axis.from > 0 && axis.to > 0)) {
    throw UsageError(where + ": --log needs FROM and TO above zero");
  }
  return axis;
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

SweepTotals RunSweep(const SweepRequest& request, std::FILE* out, const SweepProgress& progress) {
  SweepTotals totals;
  totals.points = PointCount(request.axes);
  bool ok = Write(out, HeaderLine(request));
  const long long chunk = kChunkPerThread * std::max(1u, request.threads);
  std::vector<PointResult> results;
  for (long long first = 0; first < totals.points && ok; first += chunk) {
    results.assign(static_cast<std::size_t>(std::min(chunk, totals.points - first)), {});
    CalculateChunk(request, first, results);
    for (std::size_t i = 0; i < results.size() && ok; ++i) {
      const bool last = first + static_cast<long long>(i) + 1 == totals.points;
      if (request.format == Format::Json) results[i].line += last ? "\n" : ",\n";
      ok = Write(out, results[i].line);
      if (!results[i].complete) ++totals.endedWithMessage;
      const std::vector<double>& values = results[i].plotValues;
      totals.plotValues.insert(totals.plotValues.end(), values.begin(), values.end());
    }
    if (progress) progress(first + static_cast<long long>(results.size()), totals.points);
  }
  if (ok && request.format == Format::Json) ok = Write(out, "]\n");
  totals.writeFailed = !ok || std::fflush(out) != 0;
  return totals;
}
