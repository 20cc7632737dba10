#include "cli/commands.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "cli/plot.h"
#include "cli/profile.h"
#include "cli/text_report.h"
#include "ui/file_commands.h"

namespace {

struct LoadedRun {
  QString file;  // empty for the start-up defaults
  RunRecord run;
};

// Every run is loaded before any is calculated, so an unreadable file stops
// the command before it has written anything.
std::vector<LoadedRun> LoadRuns(const Options& o) {
  std::vector<LoadedRun> runs;
  if (o.files.isEmpty()) runs.push_back({QString(), DefaultRunRecord(o.symbols)});
  for (const QString& file : o.files) runs.push_back({file, LoadRun(file, o.symbols)});
  for (LoadedRun& loaded : runs) {
    for (const Assignment& set : o.sets) Apply(loaded.run, set);
  }
  return runs;
}

void Say(const QString& file, const std::string& message) {
  const std::string where = file.isEmpty() ? "" : file.toStdString() + ": ";
  std::fprintf(stderr, "korvoflow-cli: %s%s\n", where.c_str(), message.c_str());
}

bool Out(const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

// A status for output that could not be written completely.
int Finish(bool written, int status) {
  if (std::fflush(stdout) != 0 || !written) {
    std::fprintf(stderr, "korvoflow-cli: standard output: write failed\n");
    return kBadUsage;
  }
  return status;
}

std::string TableOf(const Row& row, const QString& file) {
  std::string text = "== " + (file.isEmpty() ? std::string("(defaults)") : file.toStdString()) +
                     ": " + row.front().text + "\n";
  for (std::size_t i = 1; i < row.size(); ++i) {
    const CliField& field = CliFields().at(i - 1);
    QString line = QString::fromStdString(row[i].key).leftJustified(6) + ' ' +
                   QString::fromUtf8(Caption(field.ref).data(),
                                     static_cast<qsizetype>(Caption(field.ref).size()))
                       .leftJustified(34) +
                   ' ' + QString::fromStdString(row[i].text);
    text += line.trimmed().toStdString() + "\n";
  }
  return text;
}

std::string Rows(const std::vector<Row>& rows, Format format, const std::vector<QString>& files) {
  std::string text;
  if (format == Format::Csv && !rows.empty()) text += CsvHeader(rows.front());
  if (format == Format::Json) text += "[\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (format == Format::Table) text += (i ? "\n" : "") + TableOf(rows[i], files[i]);
    if (format == Format::Csv) text += CsvRecord(rows[i]);
    if (format == Format::Json) text += JsonObject(rows[i]) + (i + 1 < rows.size() ? ",\n" : "\n");
  }
  if (format == Format::Json) text += "]\n";
  return text;
}

bool SaveCalculated(const Options& o, const LoadedRun& loaded) {
  if (o.inPlace) return SaveRun(loaded.run, loaded.file);
  if (o.saveTo.isEmpty()) return true;
  return SaveRun(loaded.run, QDir(o.saveTo).filePath(QFileInfo(loaded.file).fileName()));
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

QString AxisTitle(const CliField& field) {
  return Q(Caption(field.ref));
}

// x is the first varied input; a grid gives one series per key and value of
// the second.
PlotContent SweepPlot(const Options& o, const SweepTotals& totals) {
  PlotContent plot;
  const SweepAxis& x = o.axes.front();
  plot.title = "Korvo Flow case study";
  plot.xTitle = AxisTitle(*x.field);
  plot.logX = x.log;
  const long long inner = o.axes.size() == 2 ? o.axes[1].count : 1;
  for (long long j = 0; j < inner; ++j) {
    for (std::size_t k = 0; k < o.plotKeys.size(); ++k) {
      PlotSeries series;
      series.name = Q(o.plotKeys[k]->key);
      if (inner > 1) {
        series.name += QString(" (%1 = %2)")
                           .arg(Q(o.axes[1].field->key))
                           .arg(Q(TypedText(o.axes[1].At(j), o.symbols)));
      }
      for (long long i = 0; i < x.count; ++i) {
        const auto point = static_cast<std::size_t>(i * inner + j);
        const double y = totals.plotValues[point * o.plotKeys.size() + k];
        series.points.emplace_back(x.At(i), y);
      }
      plot.series.push_back(std::move(series));
    }
  }
  if (o.plotKeys.size() == 1) plot.yTitle = AxisTitle(*o.plotKeys.front());
  return plot;
}

PlotSeries StationSeries(const Profile& profile, std::size_t column, bool secondAxis) {
  PlotSeries series{StationColumns().at(column).title, {}, secondAxis};
  for (const Row& row : profile.stations) {
    series.points.emplace_back(row[1].value.value_or(std::nan("")),
                               row[kFirstStationColumn + column].value.value_or(std::nan("")));
  }
  return series;
}

// Pressure against the left axis and Mach number against the right one.
PlotContent ProfilePlot(const Profile& profile) {
  constexpr std::size_t kPressure = 0, kMach = 5;
  PlotContent plot;
  plot.title = "Korvo Flow pipe profile";
  plot.xTitle = "Length, ft";
  plot.yTitle = StationColumns().at(kPressure).title;
  plot.secondYTitle = StationColumns().at(kMach).title;
  plot.series = {StationSeries(profile, kPressure, false), StationSeries(profile, kMach, true)};
  return plot;
}

bool Plot(const PlotContent& content, const QString& path) {
  QString error;
  if (WritePlot(content, path, error)) return true;
  std::fprintf(stderr, "korvoflow-cli: %s\n", error.toStdString().c_str());
  return false;
}

bool WriteWhole(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) {
    return true;
  }
  std::fprintf(stderr, "korvoflow-cli: %s: %s\n", path.toStdString().c_str(),
               file.errorString().toStdString().c_str());
  return false;
}

// The PDF as the window's Print makes it, on a PDF printer; printed into a
// private folder first so that FILE appears only once the document is whole.
bool WritePdf(const RunRecord& run, const QString& path) {
  QTemporaryDir scratch;
  if (!scratch.isValid()) {  // an empty output name would send the report to a printer
    std::fprintf(stderr, "korvoflow-cli: %s: no private folder to print into: %s\n",
                 path.toStdString().c_str(), scratch.errorString().toStdString().c_str());
    return false;
  }
  const QString pdf = scratch.filePath("report.pdf");
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    PrintCopies(run, 1, printer, SystemTimeStamp);
  }
  QFile printed(pdf);
  if (!printed.open(QIODevice::ReadOnly) || printed.size() == 0) {
    std::fprintf(stderr, "korvoflow-cli: %s: the report could not be printed\n",
                 path.toStdString().c_str());
    return false;
  }
  return WriteWhole(path, printed.readAll());
}

}  // namespace

int CalcCommand(const Options& o) {
  std::vector<LoadedRun> runs = LoadRuns(o);
  std::vector<Row> rows;
  std::vector<QString> files;
  int status = kAllComplete;
  for (LoadedRun& loaded : runs) {
    const Calculated calculated = Calculate(loaded.run, o.symbols);
    if (!calculated.outcome.Complete()) {
      Say(loaded.file, OutcomeMessage(calculated.outcome, o.symbols));
      status = kSomeEndedWithMessage;
    }
    if (!SaveCalculated(o, loaded)) return kBadUsage;
    Row row{TextCell("file", loaded.file.toStdString())};
    AppendRun(row, loaded.run, RunEnd(calculated.outcome, o.symbols), o.symbols, calculated.values);
    if (o.format == Format::Table) row.erase(row.begin());
    rows.push_back(std::move(row));
    files.push_back(loaded.file);
  }
  return Finish(Out(Rows(rows, o.format, files)), status);
}

int SweepCommand(const Options& o) {
  SweepRequest request;
  request.base = LoadRuns(o).front().run;
  request.symbols = o.symbols;
  request.axes = o.axes;
  request.format = o.format;
  for (const CliField* key : o.plotKeys) request.plotKeys.push_back(key->ref);
  request.threads = o.threads;
  SweepTotals totals;
  {
    ProgressBar bar;
    totals = RunSweep(request, stdout, std::ref(bar));
  }
  if (totals.writeFailed) return Finish(false, kBadUsage);
  if (totals.endedWithMessage > 0) {
    Say(QString(), std::to_string(totals.endedWithMessage) + " of " +
                       std::to_string(totals.points) + " points ended with a message");
  }
  if (!o.plot.isEmpty() && !Plot(SweepPlot(o, totals), o.plot)) return kBadUsage;
  return totals.endedWithMessage > 0 ? kSomeEndedWithMessage : kAllComplete;
}

int ProfileCommand(const Options& o) {
  const LoadedRun loaded = LoadRuns(o).front();
  const Profile profile = CalculateProfile(loaded.run, o.stations, o.symbols);
  if (!profile.stop.empty()) Say(loaded.file, profile.stop);
  const std::vector<QString> files(profile.stations.size());
  const int written = Finish(Out(Rows(profile.stations, o.format, files)), kAllComplete);
  if (written != kAllComplete) return written;
  if (!o.plot.isEmpty() && !Plot(ProfilePlot(profile), o.plot)) return kBadUsage;
  return profile.stop.empty() ? kAllComplete : kSomeEndedWithMessage;
}

int ReportCommand(const Options& o) {
  LoadedRun loaded = LoadRuns(o).front();
  int status = kAllComplete;
  if (o.calculate) {
    const CalcOutcome outcome = Calculate(loaded.run, o.symbols).outcome;
    if (!outcome.Complete()) {
      Say(loaded.file, OutcomeMessage(outcome, o.symbols));
      status = kSomeEndedWithMessage;
    }
  }
  if (o.output.endsWith(".pdf", Qt::CaseInsensitive)) {
    return WritePdf(loaded.run, o.output) ? status : kBadUsage;
  }
  TextReportPrinter text;
  PrintReport(loaded.run, 1, text, SystemTimeStamp);
  if (o.output.isEmpty()) return Finish(Out(text.Text()), status);
  return WriteWhole(o.output, QByteArray::fromStdString(text.Text())) ? status : kBadUsage;
}
