// Korvo Flow: adiabatic compressible pipe flow with friction.
#include <QApplication>
#include <QLocale>

#include "platform/locale_symbols.h"
#include "runfile/signal_cleanup.h"
#include "ui/common_dialog.h"
#include "ui/file_commands.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"
#include "ui/logo.h"
#include "ui/message_boxes.h"

int main(int argc, char* argv[]) {
  // A logout or kill in the middle of a Save takes the save's hidden
  // temporary file with it, instead of leaving it for the next save.
  InstallSignalCleanup();
  QApplication app(argc, argv);
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
  // The program ends when its last window closes: the main window, or an
  // About window left open after it.
  return QApplication::exec();
}
