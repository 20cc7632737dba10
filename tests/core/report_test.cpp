#include "report/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// Records each document as it lands on paper: each font call as "{call}" and
// each printed line as "<column>[text]" for each text on it, e.g.
// "10[Gas Type] 50[Steam]".
class RecordingPrinter : public ReportPrinter {
 public:
  void SetBold(bool on) override { Record(on ? "{bold on}" : "{bold off}"); }
  void SetItalic(bool on) override { Record(on ? "{italic on}" : "{italic off}"); }
  void SetUnderline(bool on) override { Record(on ? "{underline on}" : "{underline off}"); }
  void SetFontSize(int points) override { Record("{size " + std::to_string(points) + "}"); }
  void SetFontFace(const std::string& face) override { Record("{face " + face + "}"); }
  void Print(int column, const std::string& text, bool endLine) override {
    Fail(text);
    const std::string item = std::to_string(column) + "[" + text + "]";
    open_ ? current_.back() += " " + item : current_.emplace_back(item);
    open_ = !endLine;
  }
  void EndDocument() override {
    Fail("end");
    EXPECT_FALSE(open_);
    documents.push_back(std::move(current_));
    current_ = {};
  }

  std::vector<Strings> documents;
  std::function<bool(const std::string&)> failOn;  // the operations (font call or text) that throw

 private:
  void Record(const std::string& call) {
    Fail(call);
    current_.push_back(call);
  }
  void Fail(const std::string& what) {
    if (failOn && failOn(what)) throw std::runtime_error(what);
  }
  Strings current_;
  bool open_ = false;
};

const std::string kStamp = "12/6/2026 8:26:06 AM";

// One copy of LayoutRun() stamped with kStamp: its font calls and 59 lines.
Strings Layout() {
  std::ifstream in(KORVO_TEST_DATA_DIR "/report_layout.txt");
  Strings lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}
RunRecord LayoutRun() {  // the start-up run, results still empty, with texts to trim
  RunRecord run;
  run.general[0] = "  Steam header, line A  ";
  run.pipe[3] = "0.014937";
  run.check[2] = " 0.3 ";
  return run;
}

// Each copy is a document of the layout, all with the one time stamp; a
// failing operation is skipped and printing goes on.
TEST(ReportTest, CopiesFollowTheLayoutAndSkipFailingOperations) {
  const Strings layout = Layout();
  ASSERT_EQ(std::count_if(layout.begin(), layout.end(), [](auto& l) { return l[0] != '{'; }), 59);
  RecordingPrinter printer;
  int stampsTaken = 0;
  PrintReport(LayoutRun(), 3, printer, [&] { return ++stampsTaken, kStamp; });
  EXPECT_EQ(stampsTaken, 1);
  for (int none : {0, -2}) PrintReport(LayoutRun(), none, printer, [] { return kStamp; });
  EXPECT_EQ(printer.documents, std::vector<Strings>(3, layout));  // 0 copies or less: nothing

  Strings expected;  // no bold, no face, no time stamp, no "Gas Type" caption
  for (std::string line : layout) {
    if (line == "{bold on}" || line == "{face Courier}") continue;
    if (line == "10[Gas Type] 50[Steam]") line = "50[Steam]";
    if (const auto at = line.find(kStamp); at != std::string::npos) line.erase(at, kStamp.size());
    expected.push_back(line);
  }
  RecordingPrinter failing;
  failing.failOn = [](const std::string& what) {
    return what == "{bold on}" || what == "{face Courier}" || what == "Gas Type";
  };
  PrintReport(LayoutRun(), 2, failing, []() -> std::string { throw std::runtime_error("clock"); });
  EXPECT_EQ(failing.documents, std::vector<Strings>(2, expected));
}

TEST(ReportTest, EachLineOfTheRunDescriptionIsPrintedAtColumnFifty) {
  RecordingPrinter printer;
  RunRecord run;
  run.general[0] = "\n  Line one  \n\n  Line three\n";
  PrintReport(run, 1, printer, [] { return kStamp; });
  const Strings& lines = printer.documents.at(0);
  const auto first = std::find(lines.begin(), lines.end(), "10[Run Description] 50[Line one]");
  ASSERT_GE(lines.end() - first, 4);  // found, and three lines after it
  EXPECT_EQ(Strings(first + 1, first + 4), (Strings{"50[]", "50[Line three]", "10[ ]"}));
}

}  // namespace
