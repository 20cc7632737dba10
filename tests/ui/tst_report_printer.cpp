// The report on the Qt printer, written as a PDF and read back with the
// poppler tools: the text layout by character columns, the bold face of the
// title, rule and banners, new pages, and a printer that is not there.
#include <QFontInfo>
#include <QFontMetricsF>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>

#include "platform/qt_report_printer.h"
#include "platform/report_output.h"
#include "ui/fonts.h"
#include "ui_fixture.h"

namespace {

const std::string kStamp = "12/6/2026 8:26:06 AM";

QString Run(const QString& program, const QStringList& args) {
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.start(program, args);
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

// A run with results and blanks around two of its texts.
RunRecord SampleRun() {
  RunRecord run = DefaultRunRecord(NumberSymbols{});
  run.general[0] = "  Line 7, header  ";
  run.gas[0] = "  Steam, dry ";
  run.pipe[3] = "0.014937";
  run.input[8] = "0.42082";
  run.limiting[1] = "1,234,567.8";
  return run;
}

// Zero margins, so that character column n of the report is column n of a
// pdftotext rendering at the font's pitch (6 pt for 10 pt Courier).
void PrintPdf(const RunRecord& run, const QString& path) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  PrintCopies(run, 1, printer, [] { return kStamp; });
}

// The text by character columns, without trailing blanks and the form feed.
QStringList FixedText(const QString& pdf) {
  QStringList lines = Run("pdftotext", {"-fixed", "6", pdf, "-"}).split('\n');
  for (QString& line : lines) line.remove(QRegularExpression("\\s+$"));
  while (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

// The lines of page 1 from top to bottom, each as "B|" (bold) or "-|" and
// its pieces of text joined by "|".
QStringList PrintedLines(const QString& pdf) {
  const QString xml = Run("pdftohtml", {"-xml", "-i", "-stdout", "-f", "1", "-l", "1", pdf});
  static const QRegularExpression text(R"re(<text top="(\d+)"[^>]*>(<b>)?([^<]*))re");
  std::map<int, QStringList> byTop;
  for (auto it = text.globalMatch(xml); it.hasNext();) {
    const auto match = it.next();
    QStringList& line = byTop[match.captured(1).toInt()];
    if (line.isEmpty()) line << "-";
    if (!match.captured(2).isEmpty()) line[0] = "B";
    line << match.captured(3).trimmed();
  }
  QStringList lines;
  for (const auto& [top, line] : byTop) lines << line.join('|');
  return lines;
}

}  // namespace

class ReportPrinterTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString pdf_;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    pdf_ = dir_.filePath("report.pdf");
    PrintPdf(SampleRun(), pdf_);
  }

  // Captions at column 10, values at column 50 without their outer blanks,
  // the title with its time stamp. 59 lines from the top of the page, blank
  // lines included (each holds a printed space, though pdftotext shows none);
  // the title, the rule and the nine banners bold, in two faces in all.
  void layoutAndFaces() {
    QCOMPARE(FixedText(pdf_), Golden("ui_report_text.txt"));
    QCOMPARE(PrintedLines(pdf_), Golden("ui_report_faces.txt"));
    const QString fonts = Run("pdffonts", {pdf_});
    QVERIFY2(fonts.contains("Bold"), qPrintable(fonts));
    QCOMPARE(fonts.count('\n'), 4);  // a header of two lines, then regular and bold
  }

  // A copy that runs past the bottom of the page goes on on a new one.
  void longCopyStartsNewPage() {
    RunRecord run = SampleRun();
    for (int i = 1; i <= 40; ++i) run.general[0] += "\nline " + std::to_string(i);
    const QString pdf = dir_.filePath("long.pdf");
    PrintPdf(run, pdf);
    QVERIFY(Run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+2\\n")));
    QVERIFY(FixedText(pdf).contains(QString(9, ' ') + "*** Calculation Check ***"));
  }

  // Each copy is a document of its own; a printer that is not there prints
  // nothing, and every copy gives up at its first line instead of trying the
  // printer again line by line.
  void copiesAndMissingPrinter() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath("copies.pdf"));
    QtReportPrinter paper(printer);
    PrintReport(SampleRun(), 3, paper, [] { return kStamp; });
    QCOMPARE(paper.DocumentsEnded(), 3);

    QPrinter nowhere(QPrinter::HighResolution);
    nowhere.setOutputFormat(QPrinter::PdfFormat);
    nowhere.setOutputFileName(dir_.filePath("no-such-folder/report.pdf"));
    QtReportPrinter missing(nowhere);
    for (int copy = 0; copy < 3; ++copy) {
      QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    }
    QTest::failOnWarning(QRegularExpression(".*"));
    PrintReport(SampleRun(), 3, missing, [] { return kStamp; });
    QCOMPARE(missing.DocumentsEnded(), 0);
    QVERIFY(!QFile::exists(dir_.filePath("no-such-folder/report.pdf")));
  }

  // Whatever face is asked for, the report gets a fixed-pitch one.
  void fixedPitchFace() {
    for (const char* face : {"Courier", "Liberation Sans", "No Such Face"}) {
      const QFont font = FixedPitchFont(face, 10);
      QVERIFY2(QFontInfo(font).fixedPitch(), face);
      QCOMPARE(font.pointSize(), 10);
      const QFontMetricsF metrics(font);
      QCOMPARE(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("WWWW"));
    }
  }
};

QTEST_MAIN(ReportPrinterTest)
#include "tst_report_printer.moc"
