// korvoflow-cli: the Korvo Flow calculation, run files and report on the
// command line, for batch runs, case studies and pipe profiles.
#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/completion.h"
#include "platform/locale_symbols.h"
#include "runfile/signal_cleanup.h"

namespace {

// The offscreen platform complains about a missing runtime folder, which it
// never needs here; stderr is kept for what the user should act on.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtDebugMsg || type == QtInfoMsg || text.startsWith("QStandardPaths:")) return;
  std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}

// Help and version go to stdout; a write that fails (a full disk, a closed
// pipe) is a failure, not a success.
ExitCode Print(const std::string& text) {
  const bool written =
      std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
  if (written) return ExitCode::kComplete;
  Diagnose("standard output", "write failed");
  return ExitCode::kFailure;
}

// Plots and the PDF need fonts and painting, never a display; everything else
// runs on the core application alone, which starts in a fraction of the time.
std::unique_ptr<QCoreApplication> Application(const Options& o, int& argc, char* argv[]) {
  if (!NeedsPainting(o)) return std::make_unique<QCoreApplication>(argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QApplication>(argc, argv);
}

ExitCode Main(int argc, char* argv[]) {
  try {
    const Options o =
        ParseOptions(std::vector<std::string>(argv, argv + argc), SymbolsOf(QLocale::system()));
    if (o.help) return Print(HelpText());
    if (o.version) return Print("korvoflow-cli " KORVO_VERSION "\n");
    if (!o.completion.empty()) return Print(BashCompletion());
    SetQuiet(o.quiet);
    const std::unique_ptr<QCoreApplication> app = Application(o, argc, argv);
    return RunCommand(o);
  } catch (const UsageError& error) {
    Diagnose(error.what());
    return ExitCode::kFailure;
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  // A signal in the middle of writing an output takes the output's temporary
  // file or folder with it.
  InstallSignalCleanup();
  qInstallMessageHandler(QuietQtMessages);
  return static_cast<int>(Main(argc, argv));
}
