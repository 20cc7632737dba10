#include "platform/report_output.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/qt_report_printer.h"
#include "runfile/signal_cleanup.h"

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
  // A private folder that a signal, too, takes away with its file.
  ScratchFolder scratch(QDir::tempPath().toStdString());
  if (!scratch.Made()) {  // an empty output name would send the report to a printer
    error = QString("no private folder to print into: ") + std::strerror(scratch.Error());
    return std::nullopt;
  }
  const QString pdf = QString::fromStdString(scratch.File("report.pdf"));
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
