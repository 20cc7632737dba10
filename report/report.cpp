#include "report/report.h"

#include <array>
#include <string_view>

namespace {

constexpr int kCaptionColumn = 10;
constexpr int kValueColumn = 50;
constexpr int kFontSize = 10;
constexpr const char* kFontFace = "Courier";
constexpr std::string_view kTitle = ".... Korvo Flow Calculations ..... ";
constexpr std::size_t kRuleWidth = 60;

std::string_view Trimmed(std::string_view text, std::string_view blanks = " ") {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Runs one printer operation; a failure skips it and printing goes on.
template <typename Operation>
void Step(Operation&& operation) {
  try {
    operation();
  } catch (...) {
  }
}

class CopyWriter {
 public:
  CopyWriter(const RunRecord& run, ReportPrinter& printer) : run_(run), printer_(printer) {}

  void Copy(const std::string& timeStamp) {
    Step([&] { printer_.SetBold(false); });
    Step([&] { printer_.SetItalic(false); });
    Step([&] { printer_.SetUnderline(false); });
    Step([&] { printer_.SetFontSize(kFontSize); });
    Step([&] { printer_.SetFontFace(kFontFace); });
    for (int i = 0; i < 5; ++i) BlankLine();
    Bold(true);
    Line(kCaptionColumn, std::string(kTitle) + timeStamp);
    Line(kCaptionColumn, std::string(kRuleWidth, '='));
    for (const GroupInfo& group : GroupTable()) {
      if (group.array != kBoxArrays.front()) {  // the first banner is bold below the rule
        BlankLine();
        Bold(true);
      }
      Line(kCaptionColumn, group.banner);
      Bold(false);
      Fields(group.array);
    }
    Step([&] { printer_.EndDocument(); });
  }

 private:
  void Bold(bool on) {
    Step([&] { printer_.SetBold(on); });
  }
  void Print(int column, std::string_view text, bool endLine) {
    Step([&] { printer_.Print(column, std::string(text), endLine); });
  }
  void Line(int column, std::string_view text) { Print(column, text, true); }
  void BlankLine() { Line(kCaptionColumn, " "); }

  // One line per field: the caption at column 10 and the value at column 50,
  // or the caption alone when the value is empty. Each further line of a
  // value with line breaks goes at column 50 of a line of its own.
  void Fields(BoxArray array) {
    for (std::size_t i = 0; i < BoxCount(array); ++i) {
      const FieldRef ref{array, static_cast<int>(i)};
      std::string_view value = Trimmed(Text(run_, ref), " \n");
      const std::string_view caption = Trimmed(Caption(ref));
      if (value.empty()) {
        Line(kCaptionColumn, caption);
        continue;
      }
      Print(kCaptionColumn, caption, false);
      for (;;) {
        const std::size_t end = value.find('\n');
        Line(kValueColumn, Trimmed(value.substr(0, end)));
        if (end == std::string_view::npos) break;
        value.remove_prefix(end + 1);
      }
    }
  }

  const RunRecord& run_;
  ReportPrinter& printer_;
};

}  // namespace

void PrintReport(const RunRecord& run, int copies, ReportPrinter& printer,
                 const TimeStampSource& timeStamp) {
  if (copies <= 0) return;
  std::string stamp;
  Step([&] { stamp = timeStamp(); });
  CopyWriter writer(run, printer);
  for (int copy = copies; copy >= 1; --copy) writer.Copy(stamp);
}
