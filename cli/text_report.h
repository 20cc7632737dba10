// The printed report as plain text: the same lines and character columns as
// on paper, bold dropped, trailing blanks removed.
#pragma once

#include <string>

#include "report/report.h"

class TextReportPrinter : public ReportPrinter {
 public:
  void SetBold(bool) override {}
  void SetItalic(bool) override {}
  void SetUnderline(bool) override {}
  void SetFontSize(int) override {}
  void SetFontFace(const std::string&) override {}
  void Print(int column, const std::string& text, bool endLine) override;
  void EndDocument() override;

  const std::string& Text() const { return text_; }

 private:
  void EndLine();

  std::string line_;
  std::string text_;
};
