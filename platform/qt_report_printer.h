// The report's printer on a QPrinter: a system printer or a PDF file.
//
// A document begins with its first line and ends with EndDocument, which
// hands it to the printer as one job. Text goes at character columns of the
// current font, which is always fixed pitch: a face that the machine does not
// have, or that is not fixed pitch, is replaced by one that is. A line that
// would run past the bottom of the printable area starts a new page. When the
// printer cannot start a document, every operation of that document throws
// at once, so a missing printer costs nothing per line.
//
// Copies that go to a file are collected into one document instead: a file
// holds one document, and a second job would replace the first. The end of a
// copy then starts a new page, and Finish ends the document.
#pragma once

#include <QFont>
#include <QPainter>
#include <string>

#include "report/report.h"

class QPrinter;

// The first fixed-pitch face among `face` and the usual monospaced faces.
QFont FixedPitchFont(const QString& face, int points);

class QtReportPrinter : public ReportPrinter {
 public:
  enum class Copies { kJobEach, kOneDocument };
  explicit QtReportPrinter(QPrinter& printer, Copies copies = Copies::kJobEach);
  ~QtReportPrinter() override;  // abandons a document left open
  QtReportPrinter(const QtReportPrinter&) = delete;
  QtReportPrinter& operator=(const QtReportPrinter&) = delete;

  void SetBold(bool on) override { font_.setBold(on); }
  void SetItalic(bool on) override { font_.setItalic(on); }
  void SetUnderline(bool on) override { font_.setUnderline(on); }
  void SetFontSize(int points) override;
  void SetFontFace(const std::string& face) override;
  void Print(int column, const std::string& text, bool endLine) override;
  void EndDocument() override;
  // Ends a document of collected copies; nothing for a job per copy.
  void Finish();

  // Documents handed to the printer so far.
  int DocumentsEnded() const { return documentsEnded_; }

 private:
  void BeginDocument();
  void NewLine();

  QPrinter& printer_;
  QPainter painter_;
  QFont font_;
  const Copies copies_;
  bool copyEnded_ = false;  // the next line begins the next copy's first page
  bool documentFailed_ = false;
  int documentsEnded_ = 0;
  double x_ = 0;  // print position, device pixels from the printable area's corner
  double y_ = 0;  // top of the current line
};
