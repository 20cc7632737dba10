#include "platform/qt_report_printer.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <algorithm>
#include <stdexcept>

QFont FixedPitchFont(const QString& face, int points) {
  for (const QString& family : {face, QString("Liberation Mono"), QString("DejaVu Sans Mono")}) {
    QFont font(family, points);
    font.setStyleHint(QFont::TypeWriter);
    if (QFontInfo(font).fixedPitch()) return font;
  }
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(points);
  return font;
}

QtReportPrinter::QtReportPrinter(QPrinter& printer, Copies copies)
    : printer_(printer), font_(FixedPitchFont("Courier", 10)), copies_(copies) {}

QtReportPrinter::~QtReportPrinter() {
  if (painter_.isActive()) {
    printer_.abort();
    painter_.end();
  }
}

void QtReportPrinter::SetFontSize(int points) {
  if (points <= 0) throw std::invalid_argument("font size");
  font_.setPointSize(points);
}

// The style switches carry over to the new face.
void QtReportPrinter::SetFontFace(const std::string& face) {
  QFont font = FixedPitchFont(QString::fromStdString(face), font_.pointSize());
  font.setBold(font_.bold());
  font.setItalic(font_.italic());
  font.setUnderline(font_.underline());
  font_ = font;
}

void QtReportPrinter::BeginDocument() {
  if (painter_.isActive()) return;
  if (documentFailed_ || !painter_.begin(&printer_)) {
    documentFailed_ = true;
    throw std::runtime_error("the printer cannot start a document");
  }
  x_ = 0;
  y_ = 0;
}

void QtReportPrinter::NewLine() {
  y_ += QFontMetricsF(font_, &printer_).lineSpacing();
  x_ = 0;
}

void QtReportPrinter::Print(int column, const std::string& text, bool endLine) {
  if (copyEnded_) {
    copyEnded_ = false;
    if (!printer_.newPage()) throw std::runtime_error("the printer cannot start a page");
    x_ = 0;
    y_ = 0;
  }
  BeginDocument();
  painter_.setFont(font_);
  const QFontMetricsF metrics(font_, &printer_);
  const double x = std::max(column - 1, 0) * metrics.horizontalAdvance(QLatin1Char('0'));
  if (x < x_) NewLine();  // a column already passed is taken on the next line
  if (y_ > 0 && y_ + metrics.height() > printer_.height()) {
    if (!printer_.newPage()) throw std::runtime_error("the printer cannot start a page");
    y_ = 0;
  }
  const QString line = QString::fromStdString(text);
  painter_.drawText(QPointF(x, y_ + metrics.ascent()), line);
  x_ = x + metrics.horizontalAdvance(line);
  if (endLine) NewLine();
}

void QtReportPrinter::EndDocument() {
  if (copies_ == Copies::kOneDocument && painter_.isActive()) {
    copyEnded_ = true;
    return;
  }
  const bool failed = documentFailed_;
  documentFailed_ = false;  // the next document tries the printer again
  if (!painter_.isActive()) {
    if (failed) throw std::runtime_error("the document was not printed");
    return;
  }
  if (!painter_.end()) throw std::runtime_error("the printer refused the document");
  ++documentsEnded_;
}

void QtReportPrinter::Finish() {
  copyEnded_ = false;
  if (painter_.isActive() && painter_.end()) ++documentsEnded_;
}
