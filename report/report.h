// The printed report of a run: every field, group by group, as captions at
// character column 10 and values at column 50, in 10 pt Courier, under a bold
// title line with the date and time of printing. One copy is 59 lines (more
// when the run description has several lines) and one document.
#pragma once

#include <functional>
#include <string>

#include "calc/run_record.h"

// The printer operations that the report uses. A failing operation may throw;
// the report then goes on with the next one.
class ReportPrinter {
 public:
  virtual ~ReportPrinter() = default;
  virtual void SetBold(bool on) = 0;
  virtual void SetItalic(bool on) = 0;
  virtual void SetUnderline(bool on) = 0;
  virtual void SetFontSize(int points) = 0;
  virtual void SetFontFace(const std::string& face) = 0;
  // Prints text starting at a character column (1 is the left edge of the
  // printable area) and ends the line or stays on it. A column that the print
  // position has already passed is taken on the next line; a line below the
  // bottom of the page starts a new page.
  virtual void Print(int column, const std::string& text, bool endLine) = 0;
  // Hands the pages printed so far to the printer as one job.
  virtual void EndDocument() = 0;
};

// The current date and time as the user's locale writes them in its general
// date format: the short date, a space, the long time ("12/6/2026 8:26:06 AM").
using TimeStampSource = std::function<std::string()>;

// Prints `copies` copies of the report, each as a document of its own, all
// with the one time stamp taken when the call starts; nothing when copies is
// 0 or less. Captions come from the caption table and values are the run's
// texts, both without leading and trailing blanks and never reformatted; each
// line of the run description is printed on a line of its own at column 50.
// Nothing is reported: an operation that fails is skipped.
void PrintReport(const RunRecord& run, int copies, ReportPrinter& printer,
                 const TimeStampSource& timeStamp);
