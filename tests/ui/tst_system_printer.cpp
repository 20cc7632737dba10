// Prints the report on the system's default printer through the Print command
// of the main window, with the printer dialog answered "3 copies". The stage
// that runs it (scripts/test.d/50-cups.sh) counts the jobs that arrive.
#include <QPrinterInfo>

#include "ui/fonts.h"
#include "ui_fixture.h"

class SystemPrinterTest : public QObject, WindowFixture {
  Q_OBJECT

 private slots:
  void printThreeCopies() {
    RegisterFontSubstitutes();
    const QString expected = QPrinterInfo::defaultPrinterName();
    QVERIFY2(!expected.isEmpty(), "no default printer");
    MakeWindow();
    user_.copies = {3};
    Click("cmdPrint");
    QCOMPARE(commands_->Printer().printerName(), expected);
    QCOMPARE(commands_->Printer().outputFormat(), QPrinter::NativeFormat);
    QCOMPARE(commands_->Printer().copyCount(), 1);
    QVERIFY(user_.shown == QStringList{"Printer"});
  }
};

QTEST_MAIN(SystemPrinterTest)
#include "tst_system_printer.moc"
