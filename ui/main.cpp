// Korvo Flow: adiabatic compressible pipe flow with friction.
#include <QApplication>
#include <QLocale>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/locale_symbols.h"
#include "runfile/signal_cleanup.h"
#include "ui/command_line.h"
#include "ui/common_dialog.h"
#include "ui/file_commands.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"
#include "ui/logo.h"
#include "ui/message_boxes.h"

namespace {

// --help and --version go to stdout; a text that could not be written all
// fails the command as a usage error does.
int Answer(const std::string& text) {
  if (WriteText(stdout, text)) return 0;
  std::fputs("korvoflow: the answer could not be written to standard output\n", stderr);
  return kBadCommandLine;
}

int RunWindow(CommandLine& line) {
  int argc = static_cast<int>(line.toolkitArguments.size());
  std::vector<char*> argv;
  for (std::string& argument : line.toolkitArguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  QApplication app(argc, argv.data());
  QApplication::setApplicationName("Korvo Flow");
  QApplication::setApplicationVersion(KORVO_VERSION);
  // Lets the desktop shell match the window to its menu entry and icon.
  QApplication::setDesktopFileName(KORVO_APP_ID);
  QApplication::setWindowIcon(LogoIcon());
  RegisterFontSubstitutes();

  QtMessageBoxes messages;
  QtDialogs dialogs;
  FileCommands commands(messages, dialogs, SystemTimeStamp);
  frmMain window(SymbolsOf(QLocale::system()), messages, &commands);
  window.Form_Load();
  // Loaded once the windows are up, so that a message about the file stands
  // above them.
  if (line.file) QTimer::singleShot(0, &window, [&] { window.OpenRunFile(*line.file); });
  // The program ends when its last window closes: the main window, or an
  // About window left open after it.
  return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
  // A logout or kill in the middle of a Save takes the save's hidden
  // temporary file with it, instead of leaving it for the next save.
  InstallSignalCleanup();
  CommandLine line = ParseCommandLine(std::vector<std::string>(argv, argv + argc));
  switch (line.action) {
    case CommandLine::Action::kHelp:
      return Answer(HelpText());
    case CommandLine::Action::kVersion:
      return Answer(VersionText());
    case CommandLine::Action::kBadUsage:
      std::fprintf(stderr, "korvoflow: %s\n", line.error.c_str());
      return kBadCommandLine;
    case CommandLine::Action::kRun:
      break;
  }
  return RunWindow(line);
}
