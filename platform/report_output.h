// The printed report on Qt's printers, for every Qt front end: copies on a
// system printer or into a PDF file, and the report as PDF bytes.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "calc/run_record.h"
#include "report/report.h"

class QPrinter;

// Prints `copies` copies of the report on `printer`, each as a job of its own
// with a copy count of one; to a file, as one document with the copies one
// after another. The count is taken as the report takes it, a 16-bit number,
// so an absurd count is capped rather than wrapped. True when every document
// reached the printer (or there was nothing to print); the report itself
// skips what fails and says nothing, so a caller that must know asks here.
bool PrintCopies(const RunRecord& run, int copies, QPrinter& printer,
                 const TimeStampSource& timeStamp);

// The report as a PDF document, laid out as the Print command lays it out on
// paper; nothing, with the reason in `error`, when it cannot be made. The
// printer needs a file to write into: it gets one in a private folder that
// is gone when this returns.
std::optional<QByteArray> ReportPdf(const RunRecord& run, const TimeStampSource& timeStamp,
                                    QString& error);
