#include "cli/solve_command.h"

#include "cli/options.h"
#include "engineering/input_error.h"
#include "engineering/vessel_inlet.h"

namespace {

// Each candidate prepared as a calculated run is; an entrance that would
// choke is the candidate's choke, any other failure stops the solve.
CandidatePreparation Preparer(const Preparation& p, const NumberSymbols& symbols) {
  if (!p.PreparesRuns()) return {};
  return [&p, &symbols](RunRecord& run) -> std::optional<std::string> {
    try {
      Prepare(run, p, symbols);
    } catch (const EntranceChoked& choked) {
      return std::string(choked.what());
    }
    return std::nullopt;
  };
}

Cell Captioned(Cell cell, std::string_view caption) {
  cell.caption = caption;
  return cell;
}

// The solve's own cells, numbers in US units.
Row SolveCells(const SolveResult& result, const SolveSetup& setup, UnitSystem units,
               const NumberSymbols& symbols) {
  const FieldRef field = setup.input->field;
  Row cells{Captioned(TextCell("solved", std::string(Key(field))), "Solved For")};
  if (!setup.schedule.empty()) {
    cells.push_back(
        Captioned(TextCell("pipe", result.pipe ? PipeLabel(*result.pipe) : ""), "Pipe Size"));
  }
  cells.push_back(Captioned(CountCell("calculates", result.calculates), "Calculates"));
  const std::optional<GridNeighbour>& next = result.neighbour;
  Cell neighbour = NumberCell("neighbour", Field(field).unit, next ? next->text : "", symbols,
                              next ? std::optional(next->value) : std::nullopt);
  neighbour.field = field;
  cells.push_back(Captioned(std::move(neighbour), UnitCaptionOf(field, units)));
  cells.push_back(Captioned(TextCell("neighbour_why", next ? next->why : ""), "Neighbour Fails"));
  cells.push_back(Captioned(TextCell("limit", result.found ? result.limit : ""), "Limit"));
  cells.push_back(Captioned(TextCell("warning", result.warning), "Warning"));
  return cells;
}

// The answer's cells: its run as calculated, and what its preparation added,
// made again from the same texts, which gives the same run.
Row AnswerCells(const RunRecord& run, const SolveSetup& setup, const SolveResult& result,
                const Preparation& p, const NumberSymbols& symbols) {
  Row cells;
  AppendRun(cells, result.run, RunEnd(result.calculated.outcome, symbols), symbols,
            result.calculated.values);
  RunRecord again = run;
  Text(again, setup.input->field) = result.text;
  const Row prepared = p.PreparesRuns() ? Prepare(again, p, symbols) : Row{};
  cells.insert(cells.end(), prepared.begin(), prepared.end());
  return cells;
}

// No answer: the run as given, its free input and results empty, ending
// with why.
Row NoAnswerCells(const RunRecord& run, const SolveSetup& setup, const std::string& why,
                  const Preparation& p, const NumberSymbols& symbols) {
  RunRecord shown = run;
  ClearResults(shown);
  Text(shown, setup.input->field).clear();
  Row cells;
  AppendRun(cells, shown, why, symbols);
  const Row prepared = PreparedShape(p);
  cells.insert(cells.end(), prepared.begin(), prepared.end());
  return cells;
}

bool Save(const Options& o, const RunRecord& run, const std::string& file) {
  if (!o.output.empty()) return SaveRun(run, o.output);
  if (o.saveTo.empty()) return true;
  const std::size_t slash = file.rfind('/');
  return SaveRun(run,
                 o.saveTo + "/" + (slash == std::string::npos ? file : file.substr(slash + 1)));
}

}  // namespace

SolvedRun SolveRun(const RunRecord& run, const SolveSetup& given, const Preparation& p,
                   const NumberSymbols& symbols) {
  SolveSetup setup = given;
  setup.prepare = Preparer(p, symbols);
  SolvedRun solved;
  try {
    solved.result = Solve(run, setup, symbols);
    if (solved.result.found) solved.cells = AnswerCells(run, setup, solved.result, p, symbols);
  } catch (const InputError& error) {
    solved.result = SolveResult{};
    solved.result.limit = error.what();
  }
  if (!solved.result.found) {
    solved.cells = NoAnswerCells(run, setup, solved.result.limit, p, symbols);
  }
  solved.complete = solved.result.found && solved.result.calculated.outcome.Complete();
  const Row own = SolveCells(solved.result, setup, p.units, symbols);
  solved.cells.insert(solved.cells.end(), own.begin(), own.end());
  ShowInUnits(solved.cells, p.units, symbols);
  return solved;
}

Row SolvedShape(const RunRecord& run, const SolveSetup& setup, const Preparation& p,
                const NumberSymbols& symbols) {
  Row cells = NoAnswerCells(run, setup, "", p, symbols);
  const Row own = SolveCells(SolveResult{}, setup, p.units, symbols);
  cells.insert(cells.end(), own.begin(), own.end());
  ShowInUnits(cells, p.units, symbols);
  return cells;
}

ExitCode SolveCommand(const Options& o, const RunRecord& run, const std::string& file) {
  const SolvedRun solved = SolveRun(run, *o.solve, o.inputs, o.symbols);
  const SolveResult& result = solved.result;
  if (!result.found) {
    Diagnose(file, result.limit);
    return ExitCode::kFailure;
  }
  if (!result.warning.empty()) Note(result.warning);
  ExitCode status = ExitCode::kComplete;
  if (!solved.complete) {
    Diagnose(file, OutcomeMessage(result.calculated.outcome, o.symbols));
    status = ExitCode::kEndedWithMessage;
  }
  if (!Save(o, result.run, file)) status = ExitCode::kFailure;
  Row row{TextCell("file", file)};
  row.insert(row.end(), solved.cells.begin(), solved.cells.end());
  RowStream out(o.format, stdout, o.csvHeader);
  out.Begin(row);
  out.Write(row);
  if (out.End()) return status;
  Diagnose("standard output", "write failed");
  return ExitCode::kFailure;
}
