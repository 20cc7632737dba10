#include "platform/report_output.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/qt_report_printer.h"

bool PrintCopies(const RunRecord& run, int copies, QPrinter& printer,
                 const TimeStampSource& timeStamp) {
  const int count = std::min<int>(copies, std::numeric_limits<std::int16_t>::max());
  if (count <= 0) return true;
  // The dialog's copy count would multiply every job; the copies are jobs,
  // except in a file, which holds one document: there they follow each other.
  printer.setCopyCount(1);
  printer.setDocName("Korvo Flow Calculations");  // the job's name in the queue
  const bool toFile = !printer.outputFileName().isEmpty();
  QtReportPrinter paper(
      printer, toFile ? QtReportPrinter::Copies::kOneDocument : QtReportPrinter::Copies::kJobEach);
  PrintReport(run, count, paper, timeStamp);
  paper.Finish();
  return paper.DocumentsEnded() == (toFile ? 1 : count);
}

std::optional<QByteArray> ReportPdf(const RunRecord& run, const TimeStampSource& timeStamp,
                                    QString& error) {
  QTemporaryDir scratch;
  if (!scratch.isValid()) {  // an empty output name would send the report to a printer
    error = "no private folder to print into: " + scratch.errorString();
    return std::nullopt;
  }
  const QString pdf = scratch.filePath("report.pdf");
  bool printed = false;
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printed = PrintCopies(run, 1, printer, timeStamp);
  }
  QFile file(pdf);
  if (!printed || !file.open(QIODevice::ReadOnly) || file.size() == 0) {
    error = "the report could not be printed";
    return std::nullopt;
  }
  return file.readAll();
}
