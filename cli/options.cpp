#include "cli/options.h"

#include <getopt.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>

#include "calc/field_names.h"
#include "cli/plot.h"
#include "engineering/input_error.h"

namespace {

// ---------------------------------------------------------------- commands

constexpr unsigned Bit(Command command) {
  return 1u << static_cast<unsigned>(command);
}
constexpr unsigned FormatBit(Format format) {
  return 1u << static_cast<unsigned>(format);
}

constexpr unsigned kCalc = Bit(Command::kCalc), kSweep = Bit(Command::kSweep),
                   kProfile = Bit(Command::kProfile), kReport = Bit(Command::kReport),
                   kSolve = Bit(Command::kSolve), kGases = Bit(Command::kGases),
                   kSchedules = Bit(Command::kSchedules);
// The commands that prepare and calculate a run, and those that list a table.
constexpr unsigned kRunCommands = kCalc | kSweep | kProfile | kReport | kSolve;
constexpr unsigned kTables = kGases | kSchedules;
constexpr unsigned kEveryCommand = kRunCommands | kTables;
constexpr unsigned kEveryFormat =
    FormatBit(Format::kTable) | FormatBit(Format::kCsv) | FormatBit(Format::kJson);

struct CommandInfo {
  Command command;
  const char* name;
  const char* synopsis;  // what follows the name
  std::size_t mostFiles;
  Format defaultFormat;
  unsigned formats;  // FormatBit of each format it writes
  const char* help;
};

const CommandInfo kCommands[] = {
    {Command::kCalc, "calc", "[RUNFILE...]", SIZE_MAX, Format::kTable,
     FormatBit(Format::kTable) | FormatBit(Format::kCsv) | FormatBit(Format::kJson),
     "Load each run, apply the --set texts, Calculate and print every field."},
    {Command::kSweep, "sweep", "[RUNFILE] --vary KEY=FROM:TO:COUNT [--log] [--vary ...]", 1,
     Format::kCsv, FormatBit(Format::kCsv) | FormatBit(Format::kJson),
     "One varied input gives a line of cases, two give a grid; every point is a complete "
     "calculation. Rows come in input order with each run's end (\"complete\" or the message "
     "it stopped with)."},
    {Command::kProfile, "profile", "[RUNFILE]", 1, Format::kCsv,
     FormatBit(Format::kCsv) | FormatBit(Format::kJson),
     "Pressure, temperature, density, velocity, sonic velocity, Mach number and fL/D at N+1 "
     "equally spaced stations from 0 to the pipe length. Station 0 is the inlet state and the "
     "last station the exit state, as the Calculate command shows them; station x between is "
     "the exit state of the same pipe cut to length x, its exit compressibility taken linearly "
     "in pressure between Z1 at the inlet pressure and Z2 at the last station's pressure."},
    {Command::kReport, "report", "[RUNFILE]", 1, Format::kTable, 0,
     "The printed report, as text on stdout or in a .txt file, or as a PDF."},
    {Command::kSolve, "solve",
     "[RUNFILE] --for KEY --target CONDITION [--target ...] [--schedule SCHED]", 1, Format::kTable,
     kEveryFormat,
     "Find the one free input, w, d, l or p1, for which the run meets every target: the largest "
     "flow or length, the smallest diameter or inlet pressure, on the millionths a typed entry "
     "holds (with --schedule, the smallest pipe of that schedule). Prints the answer's run as "
     "calc does, then the input solved for, the Calculates used, the grid neighbour that fails "
     "and why, and the limit that stopped the search; without an answer, the reason and status "
     "2. --save-to or --output saves the answer's run."},
    {Command::kGases, "gases", "", 0, Format::kCsv, kEveryFormat,
     "The gas table: key, other name, formula, Gas Type text, MW, k and their source."},
    {Command::kSchedules, "schedules", "[--schedule SCHED]", 0, Format::kCsv, kEveryFormat,
     "Standard steel pipe: schedule, nominal size, outside diameter, wall and inside diameter "
     "(ASME B36.10M and B36.19M); --schedule lists one schedule."},
};

const CommandInfo& InfoOf(Command command) {
  return kCommands[static_cast<std::size_t>(command)];
}

// ---------------------------------------------------------------- options

// The request as the options build it, before the checks that need all of it.
struct Request {
  Options& o;
  std::vector<std::string> varies;  // the --vary texts, in order
  std::vector<bool> logs;           // whether a --log followed each
  std::string plotKeys;
  std::string format;
  std::string decimal, grouping;
  bool decimalGiven = false, groupingGiven = false;
  std::string threads, stations;
  std::vector<std::string> sets = {};  // the --set texts, in order
  InputTexts inputs = {};
  std::string forKey = {}, solveKey = {}, schedule = {};
  std::vector<std::string> targets = {};
};

// A whole number from 1 to `most`.
int Count(const std::string& value, const char* option, int most) {
  std::size_t used = 0;
  long long n = 0;
  try {
    n = std::stoll(value, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != value.size() || n < 1 || n > most) {
    throw UsageError(std::string("--") + option + ": expected a whole number from 1 to " +
                     std::to_string(most));
  }
  return static_cast<int>(n);
}

struct OptionInfo {
  const char* name;
  char shortName;     // 0: none
  const char* value;  // the value's name; nullptr for a switch
  unsigned commands;  // the commands that take it; 0 for --help and --version
  bool repeatable;
  const char* help;
  void (*apply)(Request& r, const std::string& value);
};

const OptionInfo kOptions[] = {
    {"set", 0, "KEY=TEXT", kRunCommands, true,
     "Set an input as if typed into its box: a number must pass the window's numeric test and is "
     "kept exactly as given (a note on stderr says where the window would round it to six "
     "decimals). With --inlet vessel, p0 and t0 set the vessel's pressure and temperature.",
     [](Request& r, const std::string& v) { r.sets.push_back(v); }},
    {"format", 0, "table|csv|json", kCalc | kSweep | kProfile | kSolve | kTables, false,
     "table, csv or json (calc, solve; default table), csv or json (sweep, profile; default csv), "
     "any of them (gases, schedules; default csv). CSV and JSON give every number as the "
     "window's text and as its value.",
     [](Request& r, const std::string& v) { r.format = v; }},
    {"csv-header", 0, "units|keys", kCalc | kSweep | kProfile | kSolve | kTables, false,
     "How the CSV header names a column: by key and unit in brackets, \"p2 [psia]\" and "
     "\"p2_value [psia]\" (units, the default), or by key alone, \"p2\" and \"p2_value\" "
     "(keys).",
     [](Request& r, const std::string& v) {
       if (v != "units" && v != "keys") {
         throw UsageError("--csv-header: \"" + v + "\" is neither units nor keys");
       }
       r.o.csvHeader = v == "units" ? CsvHeader::kUnits : CsvHeader::kKeys;
     }},
    {"in-place", 0, nullptr, kCalc, false, "Save each calculated run back to its file.",
     [](Request& r, const std::string&) { r.o.inPlace = true; }},
    {"save-to", 0, "DIR", kCalc | kSolve, false,
     "Save each calculated run (solve: the answer's run) under its name in DIR.",
     [](Request& r, const std::string& v) { r.o.saveTo = v; }},
    {"vary", 0, "KEY=FROM:TO:COUNT", kSweep, true, "Vary a numeric input over COUNT values.",
     [](Request& r, const std::string& v) {
       r.varies.push_back(v);
       r.logs.push_back(false);
     }},
    {"log", 0, nullptr, kSweep, true, "Space the preceding --vary by equal ratios.",
     [](Request& r, const std::string&) {
       if (r.logs.empty()) throw UsageError("--log: must follow a --vary");
       r.logs.back() = true;
     }},
    {"plot", 0, "FILE", kSweep | kProfile, false, "Draw a plot into FILE (.svg or .png).",
     [](Request& r, const std::string& v) { r.o.plot = v; }},
    {"y", 0, "KEY[,KEY...]", kSweep, false, "The fields plotted against the first varied input.",
     [](Request& r, const std::string& v) { r.plotKeys = v; }},
    {"threads", 0, "N", kSweep, false, "Threads to use (default: every core).",
     [](Request& r, const std::string& v) { r.threads = v; }},
    {"stations", 0, "N", kProfile, false, "Number of intervals (default 50).",
     [](Request& r, const std::string& v) { r.stations = v; }},
    {"calculate", 0, nullptr, kReport, false, "Calculate the run before reporting it.",
     [](Request& r, const std::string&) { r.o.calculate = true; }},
    {"output", 0, "FILE", kCalc | kReport | kSolve, false,
     "calc: save the calculated run as a new run file FILE (one run, or the start-up defaults). "
     "report: write the report to FILE (.txt or .pdf) instead of stdout. solve: save the "
     "answer's run as FILE.",
     [](Request& r, const std::string& v) { r.o.output = v; }},
    {"quiet", 'q', nullptr, kEveryCommand, false,
     "No notes on stderr (how runs ended, numbers read two ways or rounded by the window) and "
     "no progress bar; errors are still reported.",
     [](Request& r, const std::string&) { r.o.quiet = true; }},
    {"for", 0, "KEY", kSolve, false,
     "The free input to solve for: w (flow), d (diameter), l (length) or p1 (inlet pressure).",
     [](Request& r, const std::string& v) { r.forKey = v; }},
    {"solve", 0, "KEY", kSweep, false,
     "Solve every point for this free input, as solve --for does; with --target, a sizing "
     "chart, one solve per point.",
     [](Request& r, const std::string& v) { r.solveKey = v; }},
    {"target", 0, "CONDITION", kSolve | kSweep, true,
     "A condition the answer's run must meet, KEY<=NUMBER, KEY>=NUMBER, KEY<NUMBER, KEY>NUMBER "
     "or KEY=NUMBER (the result nearest NUMBER); see Targets below.",
     [](Request& r, const std::string& v) { r.targets.push_back(v); }},
    {"schedule", 0, "SCHED", kSolve | kSweep | kSchedules, false,
     "Pick the diameter among the standard pipes of this schedule: 10, 40, 80, 160, STD, XS, "
     "XXS, 5S, 10S, 40S or 80S (see the schedules command).",
     [](Request& r, const std::string& v) { r.schedule = v; }},
    {"units", 0, "us|si", kCalc | kSweep | kProfile | kSolve | kTables, false,
     "Units of the --set, --vary and --target numbers and of every number written: us (the "
     "window's, the default) or si (kg/kmol, mm, m, kPa(a), kPa, C, kg/h, kg/m3, m3/kg, m/s). "
     "A run file stays in US units, an SI number kept in it at full precision.",
     [](Request& r, const std::string& v) { r.inputs.units = v; }},
    {"gas", 0, "NAME[:FRACTION,...]", kRunCommands, false,
     "Set the Gas Type text, MW and k from the gas table (see Gases below), or from a mixture "
     "by mole fractions that sum to 1: methane:0.9,ethane:0.07,nitrogen:0.03 (\".\" as "
     "decimal sign). Z1 and Z2 stay as they are.",
     [](Request& r, const std::string& v) { r.inputs.gas = v; }},
    {"friction-factor", 0, "F", kRunCommands, false,
     "Set the roughness for which the window's rough-pipe law gives exactly this Darcy friction "
     "factor in the run's pipe.",
     [](Request& r, const std::string& v) { r.inputs.frictionFactor = v; }},
    {"fanning", 0, nullptr, kRunCommands, false,
     "Read --friction-factor as a Fanning factor (a quarter of Darcy's).",
     [](Request& r, const std::string&) { r.inputs.fanning = true; }},
    {"inlet", 0, "vessel|pipe", kRunCommands, false,
     "vessel: the pipe is fed from a vessel at the stagnation state --set p0=... --set t0=...; "
     "P1 and T1 become the static state at the pipe's entrance, and the row gives the "
     "iterations. pipe (the default): P1 and T1 as given.",
     [](Request& r, const std::string& v) { r.inputs.inlet = v; }},
    {"fittings", 0, "K[,K...]", kRunCommands, true,
     "Resistance coefficients K added to the pipe as K times D/f of length, f the run's own "
     "friction factor (\".\" as decimal sign): l is then the straight length and the run's "
     "length the total equivalent length. The row gives both.",
     [](Request& r, const std::string& v) { r.inputs.kValues.push_back(v); }},
    {"fitting", 0, "NAME[xN][,...]", kRunCommands, true,
     "Fittings of the table (see Fittings below), N of each, added as --fittings adds K: "
     "elbow-90x4,gate-valve.",
     [](Request& r, const std::string& v) { r.inputs.fittings.push_back(v); }},
    {"decimal", 0, "TEXT", kEveryCommand, false,
     "Decimal symbol of numbers (default: the locale's).",
     [](Request& r, const std::string& v) {
       r.decimal = v;
       r.decimalGiven = true;
     }},
    {"grouping", 0, "TEXT", kEveryCommand, false,
     "Grouping symbol of numbers (default: the locale's).",
     [](Request& r, const std::string& v) {
       r.grouping = v;
       r.groupingGiven = true;
     }},
    {"help", 'h', nullptr, 0, false, "Show this help and exit.",
     [](Request& r, const std::string&) { r.o.help = true; }},
    {"version", 'v', nullptr, 0, false, "Show the version and exit.",
     [](Request& r, const std::string&) { r.o.version = true; }},
    {"completion", 0, "bash", 0, false,
     "Print the bash completion script and exit (the package installs it).",
     [](Request& r, const std::string& v) {
       if (v != "bash") throw UsageError("--completion: \"" + v + "\" is not a shell it knows");
       r.o.completion = v;
     }},
};
constexpr std::size_t kOptionCount = std::size(kOptions);

// ---------------------------------------------------------------- parsing

struct Given {
  const OptionInfo* option;
  std::string value;
};

// The argument getopt_long has just read. An unknown letter inside a word
// ("-x.run") leaves the scan on that word; any other leaves it on the next.
const char* ScannedWord(const std::vector<char*>& argv, int optind) {
  const char* current = argv[static_cast<std::size_t>(optind)];
  const bool inside = optopt != 0 && current != nullptr && current[0] == '-' &&
                      std::strchr(current + 1, optopt) != nullptr;
  return inside ? current : argv[static_cast<std::size_t>(optind) - 1];
}

// The options in the order given and the other arguments, by getopt_long
// with the option table; options may follow the run files.
std::vector<Given> Scan(const std::vector<std::string>& arguments,
                        std::vector<std::string>& positional) {
  std::vector<option> longOptions;
  std::string shortOptions = ":";  // a missing value is reported, not printed
  for (const OptionInfo& info : kOptions) {
    longOptions.push_back({info.name, info.value ? required_argument : no_argument, nullptr,
                           static_cast<int>(&info - kOptions) + 256});
    if (info.shortName) shortOptions += info.shortName;
  }
  longOptions.push_back({nullptr, 0, nullptr, 0});
  std::vector<std::string> copies = arguments;
  std::vector<char*> argv;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<Given> given;
  opterr = 0;
  optind = 0;  // a fresh scan, also in a second call
  for (;;) {
    const int c = getopt_long(static_cast<int>(copies.size()), argv.data(), shortOptions.c_str(),
                              longOptions.data(), nullptr);
    if (c == -1) break;
    const char* word = ScannedWord(argv, optind);
    if (c == '?') throw UsageError(std::string("unknown option \"") + word + "\" (see --help)");
    if (c == ':') throw UsageError(std::string(word) + ": needs a value (see --help)");
    const OptionInfo* info = nullptr;
    for (const OptionInfo& candidate : kOptions) {
      if (c == static_cast<int>(&candidate - kOptions) + 256 || c == candidate.shortName) {
        info = &candidate;
      }
    }
    given.push_back({info, optarg ? optarg : ""});
  }
  // getopt_long moved the other arguments behind the options, in argv.
  for (std::size_t i = static_cast<std::size_t>(optind); i < copies.size(); ++i) {
    positional.push_back(argv[i]);
  }
  return given;
}

std::string ListOf(unsigned commands) {
  std::string list;
  for (const CommandInfo& command : kCommands) {
    if (commands & Bit(command.command))
      list += (list.empty() ? "" : ", ") + std::string(command.name);
  }
  return list;
}

// Each option applies to the command and is given at most once, unless it
// may be repeated.
void CheckGiven(const std::vector<Given>& given, Command command) {
  std::vector<int> times(kOptionCount);
  for (const Given& g : given) {
    const std::string name = std::string("--") + g.option->name;
    if (!(g.option->commands & Bit(command))) {
      throw UsageError(name + " does not apply to " + InfoOf(command).name + " (see --help)");
    }
    if (++times[static_cast<std::size_t>(g.option - kOptions)] > 1 && !g.option->repeatable) {
      throw UsageError(name + ": given twice");
    }
  }
}

// A separator must not be read as part of a number.
std::string Symbol(const std::string& value, const char* option) {
  const bool usable = !value.empty() && value.size() <= 4 &&
                      value.find_first_of("0123456789+-eE \t") == std::string::npos;
  if (!usable) throw UsageError(std::string("--") + option + ": unusable symbol \"" + value + "\"");
  return value;
}

NumberSymbols Symbols(const Request& r, const NumberSymbols& locale) {
  NumberSymbols symbols{r.decimalGiven ? Symbol(r.decimal, "decimal") : locale.decimal,
                        r.groupingGiven ? Symbol(r.grouping, "grouping") : locale.grouping};
  if (symbols.decimal == symbols.grouping) {
    // Only one was given: the other moves out of its way, as for a locale.
    if (r.decimalGiven && r.groupingGiven) throw UsageError("--decimal and --grouping must differ");
    if (r.decimalGiven) {
      symbols.grouping = FallbackGrouping(symbols.decimal);
    } else {
      symbols.decimal = FallbackGrouping(symbols.grouping);
    }
  }
  return symbols;
}

Format ParseFormat(const std::string& name, const CommandInfo& command) {
  const std::pair<const char*, Format> names[] = {
      {"table", Format::kTable}, {"csv", Format::kCsv}, {"json", Format::kJson}};
  if (name.empty()) return command.defaultFormat;
  for (const auto& [text, format] : names) {
    if (name == text && (command.formats & FormatBit(format))) return format;
  }
  throw UsageError("--format: \"" + name + "\" is not a format of " + command.name);
}

// The free input and the targets of a solve or a sizing chart, and the
// schedule a listing shows.
void ResolveSolve(Request& r) {
  Options& o = r.o;
  const Command command = *o.command;
  if (command == Command::kSchedules && !r.schedule.empty()) {
    try {
      o.schedule = FindSchedule(r.schedule);
    } catch (const InputError& error) {
      throw UsageError(std::string("--schedule: ") + error.what());
    }
  }
  if (command != Command::kSolve && command != Command::kSweep) return;
  const std::string& key = command == Command::kSolve ? r.forKey : r.solveKey;
  if (command == Command::kSweep && key.empty()) {
    if (!r.targets.empty() || !r.schedule.empty()) {
      throw UsageError("--target and --schedule go with --solve");
    }
    return;
  }
  if (key.empty()) throw UsageError("solve needs --for KEY, the free input: w, d, l or p1");
  try {
    o.solve = ParseSolveSetup(key, r.targets, r.schedule, o.symbols, o.inputs.units);
  } catch (const InputError& error) {
    throw UsageError(std::string(InfoOf(command).name) + ": " + error.what());
  }
  if (o.inputs.vesselInlet && o.solve->input->field == kPressure1) {
    throw UsageError("--inlet vessel finds p1 from the vessel's p0: solve for w, d or l");
  }
}

// An axis that the preparation or the solve does not overwrite, whose ends
// are values in the chosen units.
void CheckPreparedAxis(const Options& o, const SweepAxis& axis) {
  const std::string where = "--vary " + std::string(Key(axis.field)) + ": ";
  if (o.solve && axis.field == o.solve->input->field) {
    throw UsageError(where + "it is the input solved for");
  }
  if (o.inputs.vesselInlet && (axis.field == kPressure1 || axis.field == kTemperature1)) {
    throw UsageError(where + "the vessel inlet finds p1 and t1 from the vessel's p0 and t0");
  }
  if (o.inputs.frictionFactor && axis.field == kRoughness) {
    throw UsageError(where + "--friction-factor sets the roughness");
  }
  try {
    FromUnits(axis.field, axis.from, o.inputs.units);
    FromUnits(axis.field, axis.to, o.inputs.units);
  } catch (const InputError& error) {
    throw UsageError(where + error.what());
  }
}

void ResolveSweep(Request& r) {
  Options& o = r.o;
  if (r.varies.empty() || r.varies.size() > 2) throw UsageError("sweep: give one or two --vary");
  for (std::size_t i = 0; i < r.varies.size(); ++i) {
    o.axes.push_back(ParseAxis(r.varies[i], o.symbols));
    o.axes.back().log = r.logs[i];
    if (r.logs[i]) CheckLogAxis(o.axes.back());
    CheckPreparedAxis(o, o.axes.back());
  }
  if (o.axes.size() == 2 && o.axes[0].field == o.axes[1].field) {
    throw UsageError("--vary: the same input twice");
  }
  PointCount(o.axes);
  for (std::size_t at = 0; at <= r.plotKeys.size() && !r.plotKeys.empty();) {
    const std::size_t comma = std::min(r.plotKeys.find(',', at), r.plotKeys.size());
    const std::string key = r.plotKeys.substr(at, comma - at);
    at = comma + 1;
    if (key.empty()) continue;
    const FieldRef field = RequireField(key, "--y");
    if (!HoldsNumber(field)) throw UsageError("--y: \"" + key + "\" is no number");
    o.plotKeys.push_back(field);
  }
  if (o.plot.empty() != o.plotKeys.empty()) throw UsageError("--plot and --y go together");
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  o.threads = static_cast<unsigned>(r.threads.empty() ? cores : Count(r.threads, "threads", 1024));
}

void CheckFiles(const Options& o, const CommandInfo& command) {
  if (o.files.size() > command.mostFiles) {
    throw UsageError(std::string(command.name) +
                     (command.mostFiles == 0 ? ": takes no run file" : ": at most one run file"));
  }
  const auto input = std::find(o.files.begin(), o.files.end(), kStandardInput);
  if (input != o.files.end() &&
      std::find(input + 1, o.files.end(), kStandardInput) != o.files.end()) {
    throw UsageError("standard input (-) can be read once");
  }
  if ((o.inPlace || !o.saveTo.empty()) && (o.files.empty() || input != o.files.end())) {
    throw UsageError("--in-place and --save-to need named run files");
  }
  if (command.command == Command::kCalc && !o.output.empty() && o.files.size() > 1) {
    throw UsageError("--output: saves one run; give --save-to DIR for several");
  }
  if (!o.output.empty() + o.inPlace + !o.saveTo.empty() > 1) {
    throw UsageError("--output, --in-place and --save-to: give one of them");
  }
  struct stat folder {};
  if (!o.saveTo.empty() && !(stat(o.saveTo.c_str(), &folder) == 0 && S_ISDIR(folder.st_mode))) {
    throw UsageError("--save-to: \"" + o.saveTo + "\" is not a folder");
  }
}

void CheckOutputs(const Options& o) {
  if (!o.plot.empty() && !IsPlotPath(o.plot)) throw UsageError("--plot: give a .svg or .png file");
  if (o.command == Command::kReport && !o.output.empty() && !HasExtension(o.output, ".txt") &&
      !HasExtension(o.output, ".pdf")) {
    throw UsageError("--output: give a .txt or .pdf file");
  }
}

// ---------------------------------------------------------------- help

// Words of `text` in lines of at most `width` characters, each line after the
// first indented by `indent` blanks.
std::string Wrapped(const std::string& text, std::size_t indent, std::size_t first,
                    std::size_t width = 79) {
  std::string out, line;
  std::size_t room = width - first;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t blank = std::min(text.find(' ', at), text.size());
    const std::string word = text.substr(at, blank - at);
    at = blank + 1;
    if (!line.empty() && line.size() + 1 + word.size() > room) {
      out += line + "\n" + std::string(indent, ' ');
      line.clear();
      room = width - indent;
    }
    line += (line.empty() ? "" : " ") + word;
  }
  return out + line;
}

const char kIntro[] =
    "Usage: korvoflow-cli COMMAND [RUNFILE...] [OPTION...]\n"
    "Adiabatic compressible pipe flow with friction, on the command line: the same\n"
    "calculation, run files and report as the Korvo Flow window, for scripts,\n"
    "spreadsheets and plots. A command given no run file starts from the window's\n"
    "start-up defaults.\n";

const char kTail[] = R"(
Exit status:
  0      every run completed;
  1      at least one run ended with a message (in its row, or for profile
         on stderr);
  2      bad usage, an unreadable input, an output that could not be
         written or a solve without an answer, with one line saying what is
         wrong.
Every file korvoflow-cli writes (runs, reports, plots) goes through the
window's save: a new file appears whole or not at all; an existing one is
replaced whole wherever that keeps what the file is (its links, owner and
mode) and otherwise written in place; an interrupted write leaves no
temporary file behind.

Environment:
  LANG, LC_ALL, LC_NUMERIC
         The locale whose decimal and grouping symbols numbers are read and
         written with, as in the window (--decimal and --grouping override
         them); in the C locale "." and ",".
  LC_TIME
         The date and time format of the report's time stamp.
  TMPDIR
         Where a PDF report is printed before it is written to its file.

Files:
  /usr/share/doc/korvoflow/examples/*.run
         Calculated example runs that come with the program: a steam header,
         a natural-gas line, a compressed-air main and a vent line close to
         choking.
  /usr/share/bash-completion/completions/korvoflow-cli
         The bash completion, made by korvoflow-cli --completion bash.

Examples:
Calculate the example runs, one CSV row each:

  korvoflow-cli calc /usr/share/doc/korvoflow/examples/*.run --format csv

Calculate a saved run with a longer pipe, as CSV:

  korvoflow-cli calc line7.run --set l=120 --format csv

Exit pressure and Mach number over the flow rate, with a plot:

  korvoflow-cli sweep --vary w=100000:900000:81 --plot flow.svg --y p2,m2

The state along the pipe at 101 stations, with a plot:

  korvoflow-cli profile line7.run --stations 100 --plot profile.png

The smallest diameter for a 100 psi drop at 450,000 lb/hr, and the smallest
schedule 40 pipe for it:

  korvoflow-cli solve --for d --target 'dpc<=100' --set w=450000
  korvoflow-cli solve --for d --target 'dpc<=100' --set w=450000 --schedule 40

A sizing chart, the diameter for that drop over the flow range:

  korvoflow-cli sweep --vary w=100000:900000:41 --solve d --target 'dpc<=100' \
    --plot size.svg --y d
)";

std::string OptionsHelp() {
  std::string text = "\nOptions:\n";
  for (const OptionInfo& info : kOptions) {
    std::string head = "  ";
    if (info.shortName) head += std::string("-") + info.shortName + ", ";
    head += std::string("--") + info.name + (info.value ? std::string(" ") + info.value : "");
    std::string help = info.help;
    if (info.commands != kEveryCommand && info.commands != 0)
      help += " [" + ListOf(info.commands) + "]";
    if (head.size() > 22) {
      text += head + "\n" + std::string(23, ' ');
    } else {
      text += head + std::string(23 - head.size(), ' ');
    }
    text += Wrapped(help, 23, 23) + "\n";
  }
  return text;
}

const char kPreparing[] = R"(
Preparing a run:
  Every command prepares its runs in this order: load (or the start-up
  defaults), --gas, --set (numbers in --units), --friction-factor,
  --inlet vessel, --fittings and --fitting; then it calculates, sweeps or
  solves. The last three steps follow from the diameter, the flow and the
  straight length, so a sweep prepares each point and a solve each candidate
  again. A vessel inlet that the flow would choke, an unknown gas or fitting,
  fractions that do not sum to 1, a negative K or an SI number out of range
  stop a command with status 2 (a sweep's point ends with the message).
)";

// "  air               Air                 28.9644   1.4002"
std::string GasesHelp() {
  std::string text =
      "\nGases (--gas; MW in lb/lb-mole, k = Cp/Cv at 60 F; sources: the gases command):\n";
  for (const GasData& gas : GasTable()) {
    std::string line = "  " + std::string(gas.key);
    line.resize(22, ' ');
    line += gas.formula.empty() ? std::string(gas.name) : std::string(gas.formula);
    line.resize(36, ' ');
    line += ShortestText(gas.mw);
    line.resize(46, ' ');
    text += line + ShortestText(gas.k) + "\n";
  }
  return text;
}

// "  elbow-90             90-degree standard elbow           K = 30 f"
std::string FittingsHelp() {
  std::string text =
      "\nFittings (--fitting; f the run's own friction factor; Crane TP-410, Appendix A):\n";
  for (const FittingData& fitting : FittingTable()) {
    std::string line = "  " + std::string(fitting.key);
    line.resize(23, ' ');
    line += fitting.name;
    line.resize(60, ' ');
    line += fitting.kPerF == 0 ? "K = " + ShortestText(fitting.k)
                               : "K = " + ShortestText(fitting.kPerF) + " f";
    text += line + "\n";
  }
  return text;
}

std::string TargetsHelp() {
  std::string keys;
  for (const FieldInfo& field : FieldTable()) {
    if (field.isResult) keys += std::string(field.key) + ", ";
  }
  const std::string text =
      "KEY<=NUMBER, KEY>=NUMBER, KEY<NUMBER and KEY>NUMBER bound a result; KEY=NUMBER asks for "
      "the result nearest NUMBER (one such target at most). Every target must hold. KEY is "
      "the key of a result (" +
      keys + "or rv2, the exit momentum flux rho2 V2^2 in " + std::string(kMomentumFluxUnit) +
      ", " + std::string(MomentumFluxUnit(UnitSystem::Si)) +
      " with --units si); NUMBER is in the --units, and the result is compared at full "
      "precision, not as its text rounds it. Quote a condition in the shell: "
      "--target 'dpc<=100'.";
  return "\nTargets (solve, sweep --solve):\n  " + Wrapped(text, 2, 2) + "\n";
}

std::string FieldsHelp() {
  std::string text =
      "\nFields:\n"
      "  Every field has a key, listed with its caption, role and unit; where its\n"
      "  caption is unique, the caption is accepted too.\n\n";
  for (const FieldInfo& field : FieldTable()) {
    std::string line = "  " + std::string(field.key);
    line.resize(9, ' ');
    line += std::string(field.caption);
    line.resize(44, ' ');
    line += field.isResult ? "result " : "input  ";
    line += field.unit.empty() ? "text" : std::string(field.unit);
    text += line + "\n";
  }
  return text;
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& arguments,
                     const NumberSymbols& localeSymbols) {
  Options o;
  Request r{o, {}, {}, {}, {}, {}, {}, false, false, {}, {}};
  std::vector<std::string> positional;
  const std::vector<Given> given = Scan(arguments, positional);
  for (const Given& g : given) {
    if (g.option->commands == 0) g.option->apply(r, g.value);
  }
  if (o.help || o.version || !o.completion.empty()) return o;
  if (positional.empty()) throw UsageError("no command given (see --help)");
  const std::string name = positional.front();
  const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&](const CommandInfo& c) { return name == c.name; });
  if (command == std::end(kCommands)) {
    throw UsageError("unknown command \"" + name + "\" (see --help)");
  }
  o.command = command->command;
  CheckGiven(given, command->command);
  for (const Given& g : given) g.option->apply(r, g.value);
  o.files.assign(positional.begin() + 1, positional.end());
  o.symbols = Symbols(r, localeSymbols);
  o.inputs = ReadPreparation(r.inputs, o.symbols);
  o.sets = ReadSets(r.sets, o.inputs, o.symbols, o.notes);
  o.format = ParseFormat(r.format, *command);
  if (!r.stations.empty()) o.stations = Count(r.stations, "stations", kMostProfileIntervals);
  CheckOutputs(o);
  ResolveSolve(r);
  if (o.command == Command::kSweep) ResolveSweep(r);
  CheckFiles(o, *command);
  return o;
}

std::string HelpText() {
  std::string text = kIntro;
  text += "\nCommands:\n";
  for (const CommandInfo& command : kCommands) {
    text += "  " + Wrapped(std::string(command.name) + " " + command.synopsis, 9, 2) + "\n";
    text += std::string(9, ' ') + Wrapped(command.help, 9, 9) + "\n";
  }
  return text + OptionsHelp() + kPreparing + TargetsHelp() + GasesHelp() + FittingsHelp() +
         FieldsHelp() + kTail;
}

std::vector<OptionSummary> OptionSummaries() {
  std::vector<OptionSummary> summaries;
  for (const OptionInfo& info : kOptions) {
    OptionSummary summary{info.name, info.shortName, info.value ? info.value : "", {}};
    for (const CommandInfo& command : kCommands) {
      if (info.commands & Bit(command.command)) summary.commands.push_back(command.name);
    }
    summaries.push_back(std::move(summary));
  }
  return summaries;
}

std::vector<std::string> CommandNames() {
  std::vector<std::string> names;
  for (const CommandInfo& command : kCommands) names.push_back(command.name);
  return names;
}

bool NeedsPainting(const Options& options) {
  if (!options.plot.empty()) return true;
  return options.command == Command::kReport && HasExtension(options.output, ".pdf");
}
