#include "report/report.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <vector>

namespace {

// One printed line as it lands on paper: bold or not, the text at column 10
// and the text at column 50.
struct Row {
  bool bold;
  std::string at10;
  std::string at50;
  bool operator==(const Row& o) const { return bold == o.bold && at10 == o.at10 && at50 == o.at50; }
};
void PrintTo(const Row& row, std::ostream* os) {
  *os << (row.bold ? "bold " : "") << '[' << row.at10 << "] [" << row.at50 << ']';
}

struct Document {
  std::vector<std::string> fontCalls;  // in the order made
  std::vector<Row> rows;
};

class RecordingPrinter : public ReportPrinter {
 public:
  void SetBold(bool on) override {
    Font(on ? "bold on" : "bold off");
    bold_ = on;
  }
  void SetItalic(bool on) override { Font(on ? "italic on" : "italic off"); }
  void SetUnderline(bool on) override { Font(on ? "underline on" : "underline off"); }
  void SetFontSize(int points) override { Font("size " + std::to_string(points)); }
  void SetFontFace(const std::string& face) override { Font("face " + face); }
  void Print(int column, const std::string& text, bool endLine) override {
    Fail(text);
    if (!open_) current_.rows.push_back(Row{bold_, "", ""});
    open_ = !endLine;
    ASSERT_TRUE(column == 10 || column == 50) << column;
    (column == 10 ? current_.rows.back().at10 : current_.rows.back().at50) += text;
  }
  void EndDocument() override {
    Fail("end");
    ASSERT_FALSE(open_);
    documents.push_back(current_);
    current_ = {};
  }

  std::vector<Document> documents;
  std::function<bool(const std::string&)> failOn;  // the operations (font call or text) that throw

 private:
  void Font(const std::string& call) {
    Fail(call);
    current_.fontCalls.push_back(call);
  }
  void Fail(const std::string& what) {
    if (failOn && failOn(what)) throw std::runtime_error(what);
  }
  Document current_;
  bool bold_ = false;
  bool open_ = false;
};

const std::string kStamp = "12/6/2026 8:26:06 AM";

struct ReportTest : ::testing::Test {
  std::vector<Document> Print(const RunRecord& run, int copies) {
    PrintReport(run, copies, printer, [&] {
      ++stampsTaken;
      return kStamp;
    });
    return printer.documents;
  }
  RecordingPrinter printer;
  int stampsTaken = 0;
};

const Row kBlank{false, " ", ""};

TEST_F(ReportTest, OneCopyHasTheFiftyNineLinesOfTheLayout) {
  RunRecord run;  // the start-up run: results still empty
  run.general[0] = "  Steam header, line A  ";
  run.pipe[3] = "0.014937";
  run.check[2] = " 0.3 ";
  // clang-format off
  const std::vector<Row> expected{
      kBlank, kBlank, kBlank, kBlank, kBlank,
      {true, ".... Korvo Flow Calculations ..... 12/6/2026 8:26:06 AM", ""},
      {true, std::string(60, '='), ""},
      {true, "*** Run Identification ***", ""},
      {false, "Run Description", "Steam header, line A"},
      kBlank, {true, "*** Gas Characteristics ***", ""},
      {false, "Gas Type", "Steam"}, {false, "Mol. Wt., lb/lb-mole", "18.02"},
      {false, "k, Cp/Cv", "1.31"},
      kBlank, {true, "*** Pipe Characteristics ***", ""},
      {false, "Pipe Diameter, in.", "6.0"}, {false, "Pipe Roughness, ft", "0.00015"},
      {false, "Pipe Total Equivalent Length, ft", "70.0"},
      {false, "Pipe Friction Factor", "0.014937"},
      kBlank, {true, "*** Initial Properties ***", ""},
      {false, "Initia, psia", "740"}, {false, "Initial Temp, F", "986"},
      {false, "Flow Rate, lb/hr", "600,000"}, {false, "Initial Compressibility", "0.975"},
      {false, "Initial Density, lb/cf", ""}, {false, "Initial Specific Volume, cf/lb", ""},
      {false, "Initial Velocity, ft/s", ""}, {false, "Initial Sonic Velocity, ft/s", ""},
      {false, "Initial Mach Number", ""},
      kBlank, {true, "*** Exit Properties ***", ""},
      {false, "Exit Pressure, psia", ""}, {false, "Exit Temperature, F", ""},
      {false, "Flow Rate, lb/hr", ""}, {false, "Exit Compressibility", "0.974"},
      {false, "Exit Density, lb/cf", ""}, {false, "Exit Specific Volume, cf/lb", ""},
      {false, "Exit Velocity, ft/s", ""}, {false, "Exit Sonic Velocity, ft/s", ""},
      {false, "Exit Mach Number", ""},
      kBlank, {true, "*** Pressure Loss ***", ""},
      {false, "Compressible Pr. Loss, psi", ""}, {false, "Incompressible Pr. Loss, psi", ""},
      kBlank, {true, "*** Stagnation Properties ***", ""},
      {false, "Temperature, F", ""}, {false, "Pressure, psia", ""},
      kBlank, {true, "*** Limiting Values (M2=1.0) ***", ""},
      {false, "Max. Pipe Lenght, ft", ""}, {false, "Max. Flow Rate, lb/hr", ""},
      kBlank, {true, "*** Calculation Check ***", ""},
      {false, "C1 = fL/D1", ""}, {false, "C2 = fL/D2", ""}, {false, "Exit Mach Number", "0.3"}};
  // clang-format on
  ASSERT_EQ(expected.size(), 59u);
  const auto documents = Print(run, 1);
  ASSERT_EQ(documents.size(), 1u);
  EXPECT_EQ(documents[0].rows, expected);
}

TEST_F(ReportTest, EachCopyStartsWithTheFontAndSwitchesBoldLineByLine) {
  const auto documents = Print(RunRecord{}, 1);
  ASSERT_EQ(documents.size(), 1u);
  const std::vector<std::string>& calls = documents[0].fontCalls;
  const std::vector<std::string> setup{"bold off",     "italic off", "underline off", "size 10",
                                       "face Courier", "bold on",    "bold off"};
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 7), setup);
  EXPECT_EQ(calls.size(), 7u + 2 * 8);  // bold on and off around each further banner
}

TEST_F(ReportTest, CopiesAreSeparateDocumentsWithOneTimeStamp) {
  const auto documents = Print(RunRecord{}, 3);
  EXPECT_EQ(stampsTaken, 1);
  ASSERT_EQ(documents.size(), 3u);
  for (const Document& copy : documents) {
    EXPECT_EQ(copy.rows, documents[0].rows);
    EXPECT_EQ(copy.fontCalls, documents[0].fontCalls);
  }
}

TEST_F(ReportTest, NoCopiesPrintNothing) {
  EXPECT_TRUE(Print(RunRecord{}, 0).empty());
  EXPECT_TRUE(Print(RunRecord{}, -2).empty());
}

TEST_F(ReportTest, EachLineOfTheRunDescriptionIsPrintedAtColumnFifty) {
  RunRecord run;
  run.general[0] = "\n  Line one  \n\n  Line three\n";
  const std::vector<Row> rows = Print(run, 1).at(0).rows;
  ASSERT_EQ(rows.size(), 61u);
  EXPECT_EQ(rows[8], (Row{false, "Run Description", "Line one"}));
  EXPECT_EQ(rows[9], (Row{false, "", ""}));
  EXPECT_EQ(rows[10], (Row{false, "", "Line three"}));
  EXPECT_EQ(rows[11], kBlank);
}

TEST_F(ReportTest, FailingOperationsAreSkippedAndPrintingGoesOn) {
  std::vector<Row> expected = Print(RunRecord{}, 1).at(0).rows;
  for (Row& row : expected) row.bold = false;                // bold never comes on
  expected[5].at10 = ".... Korvo Flow Calculations ..... ";  // no time stamp
  expected[11] = {false, "", "Steam"};                       // the caption failed, the value not
  RecordingPrinter failing;
  failing.failOn = [](const std::string& what) {
    return what == "bold on" || what == "face Courier" || what == "Gas Type";
  };
  PrintReport(RunRecord{}, 2, failing, []() -> std::string { throw std::runtime_error("clock"); });
  ASSERT_EQ(failing.documents.size(), 2u);
  for (const Document& copy : failing.documents) {
    EXPECT_EQ(copy.rows, expected);
    EXPECT_EQ(copy.fontCalls.size(), 4u + 9);  // no face, no bold on: 9 times bold off
  }
}

}  // namespace
