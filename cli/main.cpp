// korvoflow-cli: the Korvo Flow calculation, run files and report on the
// command line, for batch runs, case studies and pipe profiles.
#include <QApplication>
#include <QLocale>
#include <cstdio>

#include "cli/commands.h"
#include "ui/locale_symbols.h"

namespace {

// The offscreen platform complains about a missing runtime folder, which it
// never needs here; stderr is kept for what the user should act on.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtDebugMsg || type == QtInfoMsg || text.startsWith("QStandardPaths:")) return;
  std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}

int Dispatch(const Options& o) {
  if (o.command == "calc") return CalcCommand(o);
  if (o.command == "sweep") return SweepCommand(o);
  if (o.command == "profile") return ProfileCommand(o);
  return ReportCommand(o);
}

}  // namespace

int main(int argc, char* argv[]) {
  // Plots and the PDF need fonts and painting but never a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietQtMessages);
  QApplication app(argc, argv);
  QApplication::setApplicationName("korvoflow-cli");
  QApplication::setApplicationVersion("1.0");
  try {
    const Options o = ParseOptions(QApplication::arguments(), SymbolsOf(QLocale::system()));
    if (o.help) {
      std::fputs(HelpText().toStdString().c_str(), stdout);
      return kAllComplete;
    }
    if (o.version) {
      std::puts("korvoflow-cli 1.0");
      return kAllComplete;
    }
    return Dispatch(o);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "korvoflow-cli: %s\n", error.what());
    return kBadUsage;
  }
}
