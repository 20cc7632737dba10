#include "cli/options.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <map>
#include <set>
#include <thread>

#include "cli/plot.h"

namespace {

// Options that each command takes, besides --decimal and --grouping.
const std::map<QString, std::set<QString>> kCommandOptions{
    {"calc", {"set", "format", "in-place", "save-to"}},
    {"sweep", {"set", "format", "vary", "log", "plot", "y", "threads"}},
    {"profile", {"set", "format", "stations", "plot"}},
    {"report", {"set", "calculate", "output"}},
};

QList<QCommandLineOption> AllOptions() {
  return {
      {{"h", "help"}, "Show this help."},
      {{"v", "version"}, "Show the version."},
      {"set", "Set an input as if typed into its box.", "KEY=TEXT"},
      {"format", "Output format.", "table|csv|json"},
      {"in-place", "Save each calculated run back to its file."},
      {"save-to", "Save each calculated run under its name into DIR.", "DIR"},
      {"vary", "Vary a numeric input.", "KEY=FROM:TO:COUNT"},
      {"log", "Space the preceding --vary by equal ratios."},
      {"plot", "Plot to an SVG or PNG file.", "FILE"},
      {"y", "Keys to plot against the varied input.", "KEY[,KEY...]"},
      {"threads", "Threads for a sweep (default: all cores).", "N"},
      {"stations", "Number of intervals of a profile (default 50).", "N"},
      {"calculate", "Calculate the run before the report."},
      {"output", "Write the report to a .txt or .pdf file.", "FILE"},
      {"decimal", "Decimal symbol of numbers (default: the locale's).", "TEXT"},
      {"grouping", "Grouping symbol of numbers (default: the locale's).", "TEXT"},
  };
}

// The --vary that each --log follows, from the raw argument order (the parser
// keeps the values of each option but not how they interleave).
std::vector<bool> LogFlags(const QStringList& arguments) {
  std::vector<bool> flags;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    if (a == "--") break;
    if (a == "--vary" || a.startsWith("--vary=")) {
      flags.push_back(false);
      if (a == "--vary") ++i;
    } else if (a == "--log") {
      if (flags.empty()) throw UsageError("--log: must follow a --vary");
      flags.back() = true;
    }
  }
  return flags;
}

// A separator must not be read as part of a number.
std::string Symbol(const QCommandLineParser& parser, const char* name,
                   const std::string& fallback) {
  if (!parser.isSet(name)) return fallback;
  const QString value = parser.value(name);
  const bool usable = !value.isEmpty() && value.size() <= 4 &&
                      !value.contains(QRegularExpression("[0-9+\\-eE \\t]"));
  if (!usable)
    throw UsageError(std::string("--") + name + ": unusable symbol \"" + value.toStdString() +
                     "\"");
  return value.toStdString();
}

NumberSymbols Symbols(const QCommandLineParser& parser, const NumberSymbols& locale) {
  NumberSymbols symbols{Symbol(parser, "decimal", locale.decimal),
                        Symbol(parser, "grouping", locale.grouping)};
  if (symbols.decimal == symbols.grouping) {
    // Only one was given: the other moves out of its way, as for a locale.
    if (!parser.isSet("grouping")) {
      symbols.grouping = symbols.decimal == "," ? "." : ",";
    } else if (!parser.isSet("decimal")) {
      symbols.decimal = symbols.grouping == "," ? "." : ",";
    } else {
      throw UsageError("--decimal and --grouping must differ");
    }
  }
  return symbols;
}

Format ParseFormat(const QCommandLineParser& parser, const QString& command) {
  const QString name = parser.isSet("format") ? parser.value("format")
                       : command == "calc"    ? "table"
                                              : "csv";
  if (name == "csv") return Format::Csv;
  if (name == "json") return Format::Json;
  if (name == "table" && command == "calc") return Format::Table;
  throw UsageError("--format: \"" + name.toStdString() + "\" is not a format of " +
                   command.toStdString());
}

int PositiveCount(const QCommandLineParser& parser, const char* name, int fallback, int most) {
  if (!parser.isSet(name)) return fallback;
  bool ok = false;
  const int n = parser.value(name).toInt(&ok);
  if (!ok || n < 1 || n > most) {
    throw UsageError(std::string("--") + name + ": expected a whole number from 1 to " +
                     std::to_string(most));
  }
  return n;
}

void CheckOptionsApply(const QCommandLineParser& parser, const QString& command) {
  const auto& allowed = kCommandOptions.at(command);
  for (const QString& option : parser.optionNames()) {
    if (option == "decimal" || option == "grouping" || allowed.count(option)) continue;
    throw UsageError("--" + option.toStdString() + " does not apply to " + command.toStdString());
  }
}

void ParseSweep(const QCommandLineParser& parser, const QStringList& arguments, Options& o) {
  const QStringList varies = parser.values("vary");
  const std::vector<bool> logs = LogFlags(arguments);
  if (varies.isEmpty() || varies.size() > 2) throw UsageError("sweep: give one or two --vary");
  for (qsizetype i = 0; i < varies.size(); ++i) {
    o.axes.push_back(ParseAxis(varies[i], logs.at(static_cast<std::size_t>(i)), o.symbols));
  }
  if (o.axes.size() == 2 && o.axes[0].field == o.axes[1].field) {
    throw UsageError("--vary: the same input twice");
  }
  PointCount(o.axes);
  for (const QString& key : parser.value("y").split(',', Qt::SkipEmptyParts)) {
    const CliField& field = RequireField(key.trimmed(), "--y");
    if (!HoldsNumber(field.ref))
      throw UsageError("--y: \"" + key.toStdString() + "\" is no number");
    o.plotKeys.push_back(&field);
  }
  if (o.plot.isEmpty() != o.plotKeys.empty()) throw UsageError("--plot and --y go together");
  o.threads = static_cast<unsigned>(
      PositiveCount(parser, "threads",
                    static_cast<int>(std::max(1u, std::thread::hardware_concurrency())), 1024));
}

void CheckFiles(const Options& o) {
  const qsizetype most = o.command == "calc" ? o.files.size() : 1;
  if (o.files.size() > most) throw UsageError(o.command.toStdString() + ": at most one run file");
  if ((o.inPlace || !o.saveTo.isEmpty()) && o.files.isEmpty()) {
    throw UsageError("--in-place and --save-to need run files");
  }
  if (o.inPlace && !o.saveTo.isEmpty()) throw UsageError("--in-place or --save-to, not both");
  if (!o.saveTo.isEmpty() && !QFileInfo(o.saveTo).isDir()) {
    throw UsageError("--save-to: \"" + o.saveTo.toStdString() + "\" is not a folder");
  }
}

// "--y" is the documented spelling; a one-letter option is "-y" to the parser.
QStringList WithShortY(const QStringList& arguments) {
  QStringList out;
  for (const QString& a : arguments) {
    if (a == "--y") {
      out << "-y";
    } else if (a.startsWith("--y=")) {
      out << "-y" << a.mid(4);
    } else {
      out << a;
    }
  }
  return out;
}

}  // namespace

Options ParseOptions(const QStringList& rawArguments, const NumberSymbols& localeSymbols) {
  const QStringList arguments = WithShortY(rawArguments);
  QCommandLineParser parser;
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  parser.addOptions(AllOptions());
  if (!parser.parse(arguments)) throw UsageError(parser.errorText().toStdString());
  Options o;
  o.help = parser.isSet("help");
  o.version = parser.isSet("version");
  if (o.help || o.version) return o;
  QStringList positional = parser.positionalArguments();
  if (positional.isEmpty()) throw UsageError("no command given (see --help)");
  o.command = positional.takeFirst();
  if (!kCommandOptions.count(o.command)) {
    throw UsageError("unknown command \"" + o.command.toStdString() + "\" (see --help)");
  }
  CheckOptionsApply(parser, o.command);
  o.files = positional;
  o.symbols = Symbols(parser, localeSymbols);
  for (const QString& set : parser.values("set")) o.sets.push_back(ParseAssignment(set, o.symbols));
  o.format = ParseFormat(parser, o.command);
  o.inPlace = parser.isSet("in-place");
  o.saveTo = parser.value("save-to");
  o.plot = parser.value("plot");
  if (!o.plot.isEmpty() && !IsPlotPath(o.plot))
    throw UsageError("--plot: give a .svg or .png file");
  o.stations = PositiveCount(parser, "stations", 50, 100000);
  o.calculate = parser.isSet("calculate");
  o.output = parser.value("output");
  if (!o.output.isEmpty() && !o.output.endsWith(".txt", Qt::CaseInsensitive) &&
      !o.output.endsWith(".pdf", Qt::CaseInsensitive)) {
    throw UsageError("--output: give a .txt or .pdf file");
  }
  if (o.command == "sweep") ParseSweep(parser, arguments, o);
  CheckFiles(o);
  return o;
}
