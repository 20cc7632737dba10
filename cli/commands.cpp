#include "cli/commands.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "cli/plot_content.h"
#include "cli/text_report.h"
#include "platform/locale_symbols.h"
#include "platform/report_output.h"

namespace {

struct LoadedRun {
  std::string file;  // empty for the start-up defaults
  RunRecord run;
};

// Every run is loaded before any is calculated, so an unreadable file stops
// the command before it has written anything.
std::vector<LoadedRun> LoadRuns(const Options& o) {
  std::vector<LoadedRun> runs;
  if (o.files.empty()) runs.push_back({std::string(), DefaultRunRecord(o.symbols)});
  for (const std::string& file : o.files) runs.push_back({file, LoadRun(file, o.symbols)});
  for (LoadedRun& loaded : runs) {
    for (const Assignment& set : o.sets) Apply(loaded.run, set);
  }
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
  }
  RowStream out(o.format, stdout, o.csvHeader);
  out.Begin(StationShape());
  for (const Row& row : rows) out.Write(row);
  if (!out.End()) return Finish(false, ExitCode::kFailure);
  if (!o.plot.empty() && !Plot(ProfilePlot(rows, loaded.run, o.symbols), o.plot))
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
  switch (*o.command) {
    case Command::kCalc:
      return CalcCommand(o);
    case Command::kSweep:
      return SweepCommand(o);
    case Command::kProfile:
      return ProfileCommand(o);
    case Command::kReport:
      break;
  }
  return ReportCommand(o);
}
