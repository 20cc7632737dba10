#include "cli/commands.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "calc/field_names.h"
#include "cli/plot.h"
#include "cli/solve_command.h"
#include "cli/tables_command.h"
#include "cli/text_report.h"
#include "platform/locale_symbols.h"
#include "platform/report_output.h"

namespace {

struct LoadedRun {
  std::string file;  // empty for the start-up defaults
  RunRecord run;
  Row prepared = {};  // the cells its preparation adds to its row
};

// Every run is loaded before any is calculated, so an unreadable file stops
// the command before it has written anything.
std::vector<LoadedRun> LoadRuns(const Options& o) {
  std::vector<LoadedRun> runs;
  if (o.files.empty()) runs.push_back({std::string(), DefaultRunRecord(o.symbols)});
  for (const std::string& file : o.files) runs.push_back({file, LoadRun(file, o.symbols)});
  for (LoadedRun& loaded : runs) loaded.prepared = PrepareLoaded(loaded.run, o, loaded.file);
  return runs;
}

// The status of output that could not be written completely.
ExitCode Finish(bool written, ExitCode status) {
  if (written) return status;
  Diagnose("standard output", "write failed");
  return ExitCode::kFailure;
}

// The run's end on stderr, and the status it gives.
ExitCode Report(const std::string& file, const CalcOutcome& outcome, const NumberSymbols& symbols) {
  if (outcome.Complete()) return ExitCode::kComplete;
  Diagnose(file, OutcomeMessage(outcome, symbols));
  return ExitCode::kEndedWithMessage;
}

bool SaveCalculated(const Options& o, const LoadedRun& loaded) {
  if (o.inPlace) return SaveRun(loaded.run, loaded.file);
  if (o.saveTo.empty()) return true;
  const std::size_t slash = loaded.file.rfind('/');
  const std::string name = slash == std::string::npos ? loaded.file : loaded.file.substr(slash + 1);
  return SaveRun(loaded.run, o.saveTo + "/" + name);
}

// A progress bar on a terminal, once a sweep has taken more than a second.
class ProgressBar {
 public:
  ProgressBar() : shown_(isatty(STDERR_FILENO) == 1), start_(Clock::now()) {}
  ~ProgressBar() {
    if (drawn_) std::fprintf(stderr, "\r%60s\r", "");
  }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void operator()(long long done, long long total) {
    if (!shown_ || Clock::now() - start_ < std::chrono::seconds(1)) return;
    constexpr int kWidth = 40;
    const int filled = static_cast<int>((kWidth * done) / std::max(total, 1LL));
    std::fprintf(stderr, "\r[%s%s] %3lld%% %lld/%lld", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, ' ').c_str(), (100 * done) / std::max(total, 1LL),
                 done, total);
    std::fflush(stderr);
    drawn_ = true;
  }

 private:
  using Clock = std::chrono::steady_clock;
  bool shown_;
  bool drawn_ = false;
  Clock::time_point start_;
};

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// x is the first varied input; a grid gives one series per key and value of
// the second.
PlotContent SweepPlot(const Options& o, const SweepTotals& totals) {
  PlotContent plot;
  const SweepAxis& x = o.axes.front();
  plot.title = "Korvo Flow case study";
  plot.xTitle = Q(UnitCaptionOf(x.field, o.inputs.units));
  plot.logX = x.log;
  const long long inner = o.axes.size() == 2 ? o.axes[1].count : 1;
  for (long long j = 0; j < inner; ++j) {
    for (std::size_t k = 0; k < o.plotKeys.size(); ++k) {
      PlotSeries series;
      series.name = Q(Key(o.plotKeys[k]));
      if (inner > 1) {
        series.name += QString(" (%1 = %2)")
                           .arg(Q(Key(o.axes[1].field)))
                           .arg(Q(FormatByPattern(o.axes[1].At(j), kInputPattern, o.symbols)));
      }
      for (long long i = 0; i < x.count; ++i) {
        const auto point = static_cast<std::size_t>(i * inner + j);
        series.points.emplace_back(x.At(i), totals.plotValues[point * o.plotKeys.size() + k]);
      }
      plot.series.push_back(std::move(series));
    }
  }
  if (o.plotKeys.size() == 1) plot.yTitle = Q(UnitCaptionOf(o.plotKeys.front(), o.inputs.units));
  return plot;
}

const StationColumn& ColumnOf(std::string_view key) {
  const std::vector<StationColumn>& columns = StationColumns();
  return *std::find_if(columns.begin(), columns.end(),
                       [&](const StationColumn& c) { return c.key == key; });
}

// "Pressure, kPa(a)": a column's title with the unit its cells are in.
QString StationTitle(const StationColumn& column, UnitSystem units) {
  const std::string title = column.title;
  const std::size_t comma = title.rfind(", ");
  if (comma == std::string::npos) return Q(title);
  return Q(title.substr(0, comma + 2) + std::string(UnitText(column.exit, units)));
}

PlotSeries StationSeries(const std::vector<Row>& stations, const StationColumn& column,
                         bool secondAxis, UnitSystem units) {
  PlotSeries series{StationTitle(column, units), {}, secondAxis};
  for (const Row& row : stations) {
    series.points.emplace_back(CellOf(row, "x").value.value_or(std::nan("")),
                               CellOf(row, column.key).value.value_or(std::nan("")));
  }
  return series;
}

// Pressure against the left axis and Mach number against the right one.
PlotContent ProfilePlot(const std::vector<Row>& stations, UnitSystem units) {
  const StationColumn& pressure = ColumnOf("p");
  const StationColumn& mach = ColumnOf("m");
  PlotContent plot;
  plot.title = "Korvo Flow pipe profile";
  plot.xTitle = Q("Length, " + std::string(UnitText(kLength, units)));
  plot.yTitle = StationTitle(pressure, units);
  plot.secondYTitle = mach.title;
  plot.series = {StationSeries(stations, pressure, false, units),
                 StationSeries(stations, mach, true, units)};
  return plot;
}

bool Plot(const PlotContent& content, const std::string& path) {
  const std::optional<QByteArray> bytes = DrawPlot(content, path);
  if (!bytes) {
    Diagnose(path, "the plot could not be drawn");
    return false;
  }
  return WriteOutputFile(path, std::string_view(bytes->constData(), bytes->size()));
}

bool WritePdf(const RunRecord& run, const std::string& path) {
  QString error;
  const std::optional<QByteArray> pdf = ReportPdf(run, SystemTimeStamp, error);
  if (!pdf) {
    Diagnose(path, error.toStdString());
    return false;
  }
  return WriteOutputFile(path, std::string_view(pdf->constData(), pdf->size()));
}

}  // namespace

ExitCode CalcCommand(const Options& o) {
  std::vector<LoadedRun> runs = LoadRuns(o);
  RowStream out(o.format, stdout, o.csvHeader);
  ExitCode status = ExitCode::kComplete;
  for (LoadedRun& loaded : runs) {
    const Calculated calculated = CalculateQuietly(loaded.run, o.symbols);
    status = Worse(status, Report(loaded.file, calculated.outcome, o.symbols));
    // A run that cannot be saved says so and the batch goes on.
    if (!SaveCalculated(o, loaded)) status = ExitCode::kFailure;
    Row row{TextCell("file", loaded.file)};
    AppendRun(row, loaded.run, RunEnd(calculated.outcome, o.symbols), o.symbols, calculated.values);
    row.insert(row.end(), loaded.prepared.begin(), loaded.prepared.end());
    ShowInUnits(row, o.inputs.units, o.symbols);
    out.Begin(row);
    out.Write(row);
  }
  return Finish(out.End(), status);
}

ExitCode SweepCommand(const Options& o) {
  SweepRequest request;
  request.base = LoadRuns(o).front().run;
  request.symbols = o.symbols;
  request.axes = o.axes;
  request.plotKeys = o.plotKeys;
  request.threads = o.threads;
  request.inputs = o.inputs;
  request.solve = o.solve;
  RowStream out(o.format, stdout, o.csvHeader);
  SweepTotals totals;
  {
    ProgressBar bar;
    totals = RunSweep(request, out, std::ref(bar));
  }
  if (totals.writeFailed) return Finish(false, ExitCode::kFailure);
  if (totals.endedWithMessage > 0) {
    Diagnose(std::to_string(totals.endedWithMessage) + " of " + std::to_string(totals.points) +
             " points ended with a message");
  }
  if (!o.plot.empty() && !Plot(SweepPlot(o, totals), o.plot)) return ExitCode::kFailure;
  return totals.endedWithMessage > 0 ? ExitCode::kEndedWithMessage : ExitCode::kComplete;
}

ExitCode ProfileCommand(const Options& o) {
  const LoadedRun loaded = LoadRuns(o).front();
  const Profile profile = CalculateProfile(loaded.run, o.stations, o.symbols);
  if (!profile.stop.empty()) Diagnose(loaded.file, profile.stop);
  std::vector<Row> rows;
  for (const ProfileStation& station : profile.stations) {
    rows.push_back(StationRow(station, static_cast<int>(rows.size()), o.symbols));
    ShowInUnits(rows.back(), o.inputs.units, o.symbols);
  }
  RowStream out(o.format, stdout, o.csvHeader);
  Row shape = StationShape();
  ShowInUnits(shape, o.inputs.units, o.symbols);
  out.Begin(shape);
  for (const Row& row : rows) out.Write(row);
  if (!out.End()) return Finish(false, ExitCode::kFailure);
  if (!o.plot.empty() && !Plot(ProfilePlot(rows, o.inputs.units), o.plot))
    return ExitCode::kFailure;
  return profile.stop.empty() ? ExitCode::kComplete : ExitCode::kEndedWithMessage;
}

ExitCode ReportCommand(const Options& o) {
  LoadedRun loaded = LoadRuns(o).front();
  ExitCode status = ExitCode::kComplete;
  if (o.calculate) {
    status = Report(loaded.file, CalculateQuietly(loaded.run, o.symbols).outcome, o.symbols);
  }
  if (HasExtension(o.output, ".pdf"))
    return WritePdf(loaded.run, o.output) ? status : ExitCode::kFailure;
  TextReportPrinter text;
  PrintReport(loaded.run, 1, text, SystemTimeStamp);
  if (o.output.empty()) {
    const bool written =
        std::fwrite(text.Text().data(), 1, text.Text().size(), stdout) == text.Text().size() &&
        std::fflush(stdout) == 0;
    return Finish(written, status);
  }
  return WriteOutputFile(o.output, text.Text()) ? status : ExitCode::kFailure;
}

ExitCode RunCommand(const Options& o) {
  for (const std::string& note : o.notes) Note(note);
  switch (*o.command) {
    case Command::kCalc:
      return CalcCommand(o);
    case Command::kSweep:
      return SweepCommand(o);
    case Command::kProfile:
      return ProfileCommand(o);
    case Command::kSolve: {
      const LoadedRun loaded = LoadRuns(o).front();
      return SolveCommand(o, loaded.run, loaded.file);
    }
    case Command::kGases:
      return GasesCommand(o);
    case Command::kSchedules:
      return SchedulesCommand(o);
    case Command::kReport:
      break;
  }
  return ReportCommand(o);
}
