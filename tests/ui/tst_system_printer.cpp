// Prints the report on the system's default printer through the Print command
// of the main window, with the printer dialog answered "3 copies". The stage
// that runs it (scripts/test.d/50-cups.sh) counts the jobs that arrive.
#include <QPrinterInfo>
#include <QPushButton>
#include <QtTest>

#include "fake_dialogs.h"
#include "fake_message_boxes.h"
#include "ui/file_commands.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"

class SystemPrinterTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { RegisterFontSubstitutes(); }

  void printThreeCopies() {
    const QString expected = QPrinterInfo::defaultPrinterName();
    QVERIFY2(!expected.isEmpty(), "no default printer");
    FakeMessageBoxes messages;
    FakeDialogs dialogs;
    dialogs.copies = {3};
    FileCommands commands(messages, dialogs, [] { return "12/6/2026 8:26:06 AM"; });
    frmMain window(NumberSymbols{}, messages, &commands);
    window.show();
    window.findChild<QPushButton*>("cmdPrint")->click();
    QCOMPARE(commands.Printer().printerName(), expected);
    QCOMPARE(commands.Printer().outputFormat(), QPrinter::NativeFormat);
    QCOMPARE(commands.Printer().copyCount(), 1);
    QVERIFY(messages.shown.empty());
  }
};

QTEST_MAIN(SystemPrinterTest)
#include "tst_system_printer.moc"
