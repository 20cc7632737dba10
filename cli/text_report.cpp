#include "cli/text_report.h"

void TextReportPrinter::Print(int column, const std::string& text, bool endLine) {
  const std::size_t start = column > 1 ? static_cast<std::size_t>(column - 1) : 0;
  if (line_.size() > start) EndLine();  // a column already passed is taken on the next line
  line_.resize(start, ' ');
  line_ += text;
  if (endLine) EndLine();
}

void TextReportPrinter::EndDocument() {
  if (!line_.empty()) EndLine();
}

void TextReportPrinter::EndLine() {
  line_.erase(line_.find_last_not_of(' ') + 1);
  text_ += line_ + '\n';
  line_.clear();
}
