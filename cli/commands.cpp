#include "cli/commands.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "calc/field_names.h"
#include "cli/plot_content.h"
#include "cli/progress.h"
#include "cli/solve_command.h"
#include "cli/tables_command.h"
#include "cli/text_report.h"
#include "platform/locale_symbols.h"
#include "platform/report_output.h"
#include "runfile/replace_file.h"

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
  for (const std::string& file : o.files) {
    runs.push_back({file, LoadRun(file, o.symbols)});
    NoteAmbiguousNumbers(file, runs.back().run, o.symbols);
  }
  for (LoadedRun& loaded : runs) loaded.prepared = PrepareLoaded(loaded.run, o, loaded.file);
  return runs;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where each calculated run is saved: back to its file, under its name in a
// folder, into the one output file, or nowhere (empty).
std::vector<std::string> SaveTargets(const Options& o) {
  std::vector<std::string> targets;
  if (o.command != Command::kCalc) return targets;
  if (o.files.empty() && !o.output.empty()) targets.push_back(o.output);
  for (const std::string& file : o.files) {
    if (o.inPlace) {
      targets.push_back(file);
    } else if (!o.saveTo.empty()) {
      targets.push_back(o.saveTo + "/" + BaseName(file));
    } else {
      targets.push_back(o.output);
    }
  }
  return targets;
}

// Refuses, before anything is written, an output that would replace one of
// the inputs (other than a run saved back to its own file) and two runs that
// would be saved to the same file.
void CheckOutputsApart(const Options& o) {
  const std::vector<std::string> targets = SaveTargets(o);
  std::vector<std::string> outputs = targets;
  if (!o.plot.empty()) outputs.push_back(o.plot);
  if (o.command == Command::kReport && !o.output.empty()) outputs.push_back(o.output);
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (outputs[i].empty()) continue;
    for (std::size_t f = 0; f < o.files.size(); ++f) {
      const bool own = f == i && o.inPlace;
      if (!own && SameFile(outputs[i], o.files[f])) {
        throw UsageError(outputs[i] + ": is the input " + o.files[f] + "; it would be replaced");
      }
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (outputs[j] == outputs[i] || SameFile(outputs[j], outputs[i])) {
        throw UsageError(outputs[i] + ": two outputs would be written to the same file");
      }
    }
  }
}

// The status of output that could not be written completely.
ExitCode Finish(bool written, ExitCode status) {
  if (written) return status;
  Diagnose("standard output", "write failed");
  return ExitCode::kFailure;
}

// The run's end as a note, and the status it gives.
ExitCode Report(const std::string& file, const CalcOutcome& outcome, const NumberSymbols& symbols) {
  if (outcome.Complete()) return ExitCode::kComplete;
  Note(file, OutcomeMessage(outcome, symbols));
  return ExitCode::kEndedWithMessage;
}

// Where a batch saves its runs and which saves failed. A save that fails says
// why at once and the batch goes on; at the end, if any failed, every run's
// outcome is listed, so the user knows which files hold the new results.
class BatchSaves {
 public:
  explicit BatchSaves(const Options& o) : targets_(SaveTargets(o)) {}

  bool Save(std::size_t run, const RunRecord& record) {
    if (run >= targets_.size() || targets_[run].empty()) return true;
    saved_.push_back(SaveRun(record, targets_[run]));
    return saved_.back();
  }

  ~BatchSaves() {
    if (std::find(saved_.begin(), saved_.end(), false) == saved_.end()) return;
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      Diagnose(targets_[i], saved_[i] ? "saved" : "not saved");
    }
  }
  BatchSaves(const BatchSaves&) = delete;
  BatchSaves& operator=(const BatchSaves&) = delete;

 private:
  std::vector<std::string> targets_;
  std::vector<bool> saved_;
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
  BatchSaves saves(o);
  for (std::size_t i = 0; i < runs.size(); ++i) {
    LoadedRun& loaded = runs[i];
    const Calculated calculated = CalculateQuietly(loaded.run, o.symbols);
    status = Worse(status, Report(loaded.file, calculated.outcome, o.symbols));
    if (!saves.Save(i, loaded.run)) status = ExitCode::kFailure;
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
    Note({}, std::to_string(totals.endedWithMessage) + " of " + std::to_string(totals.points) +
                 " points ended with a message");
  }
  if (!o.plot.empty() && !Plot(SweepPlot(o, totals), o.plot)) return ExitCode::kFailure;
  return totals.endedWithMessage > 0 ? ExitCode::kEndedWithMessage : ExitCode::kComplete;
}

ExitCode ProfileCommand(const Options& o) {
  const LoadedRun loaded = LoadRuns(o).front();
  const Profile profile = CalculateProfile(loaded.run, o.stations, o.symbols);
  if (!profile.stop.empty()) Note(loaded.file, profile.stop);
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
  if (!o.plot.empty() && !Plot(ProfilePlot(rows, loaded.run, o.symbols, o.inputs.units), o.plot))
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
  CheckOutputsApart(o);
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
