#include "runfile/runfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct RecordingHost : FileHost {
  void ShowFileError(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

const std::string kStartupFile = ReadBytes(fs::path(KORVO_TEST_DATA_DIR) / "startup.run");

// A run whose 35 texts all differ from the defaults: "f0" to "f34" in walk order.
RunRecord Numbered() {
  RunRecord run;
  for (std::size_t i = 0; i < FieldTable().size(); ++i) {
    Text(run, FieldTable()[i].ref) = "f" + std::to_string(i);
  }
  return run;
}

// The first `count` fields of Numbered() over the defaults: a load that
// stopped after `count` fields.
RunRecord LoadedUpTo(std::size_t count) {
  RunRecord run;
  const RunRecord numbered = Numbered();
  for (std::size_t i = 0; i < count; ++i) {
    Text(run, FieldTable()[i].ref) = Text(numbered, FieldTable()[i].ref);
  }
  return run;
}

// The lines of a file without their CR LF, and back.
std::vector<std::string> Lines(const std::string& file) {
  std::vector<std::string> lines;
  for (std::size_t pos = 0; pos < file.size();) {
    const std::size_t end = file.find("\r\n", pos);
    lines.push_back(file.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}
std::string Joined(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string file;
  for (const std::string& line : lines) file += line + end;
  return file;
}

class RunFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("korvo-runfile-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_))
      names.insert(entry.path().filename().string());
    return names;
  }

  fs::path dir_;
  RecordingHost host_;
};

// ---- Save ----

TEST_F(RunFileTest, SaveAfterStartUpWritesTheExampleFileByteForByte) {
  ASSERT_EQ(kStartupFile.size(), 450u);
  SaveRunFile(RunRecord{}, dir_ / "run", host_);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(ReadBytes(dir_ / "run"), kStartupFile);
  EXPECT_EQ(Listing(), std::set<std::string>{"run"});
}

TEST_F(RunFileTest, SaveThenLoadRestoresEveryTextExactly) {
  RunRecord saved = Numbered();
  saved.general[0] = "Line one\n  second line, indented  \n\nafter a blank line\n";
  saved.gas[0] = "  Caf\u00e9 gas \u20ac  ";  // blanks and two Windows-1252 letters
  saved.input[0] = "abc";
  saved.input[2] = "600,000";
  saved.exit[5] = "";
  SaveRunFile(saved, dir_ / "run", host_);
  const std::string bytes = ReadBytes(dir_ / "run");
  EXPECT_NE(bytes.find("\"Line one\r\n  second line, indented  \r\n\r\nafter a blank line\r\n\""),
            std::string::npos);
  EXPECT_NE(bytes.find("\"  Caf\xE9 gas \x80  \""), std::string::npos);

  RunRecord loaded;
  LoadRunFile(loaded, dir_ / "run", host_);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(loaded, saved);
}

TEST_F(RunFileTest, SaveReplacesAnOlderFileAndKeepsItsPermissions) {
  WriteBytes(dir_ / "run", "old contents");
  ASSERT_EQ(chmod((dir_ / "run").c_str(), 0640), 0);
  SaveRunFile(RunRecord{}, dir_ / "run", host_);
  EXPECT_EQ(ReadBytes(dir_ / "run"), kStartupFile);
  EXPECT_EQ(fs::status(dir_ / "run").permissions(), fs::perms(0640));
}

TEST_F(RunFileTest, SaveThroughASymbolicLinkReplacesTheFileAndKeepsTheLink) {
  WriteBytes(dir_ / "target", "old contents");
  fs::create_symlink("target", dir_ / "link");
  SaveRunFile(RunRecord{}, dir_ / "link", host_);
  EXPECT_TRUE(fs::is_symlink(dir_ / "link"));
  EXPECT_EQ(ReadBytes(dir_ / "target"), kStartupFile);
}

struct RefusalCase {
  const char* name;
  FieldRef field;
  std::string text;
  std::string message;
};

class RefusedTextTest : public RunFileTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedTextTest, IsNamedInOneMessageAndNoFileIsTouched) {
  WriteBytes(dir_ / "run", "old contents");
  RunRecord run;
  Text(run, GetParam().field) = GetParam().text;
  SaveRunFile(run, dir_ / "run", host_);
  EXPECT_EQ(host_.messages, std::vector<std::string>{GetParam().message});
  EXPECT_EQ(ReadBytes(dir_ / "run"), "old contents");
  EXPECT_EQ(Listing(), std::set<std::string>{"run"});
}

const std::string kCannotBeSaved = "Contains a Character that Cannot be Saved in a Run File: ";

INSTANTIATE_TEST_SUITE_P(
    RunFile, RefusedTextTest,
    ::testing::Values(
        RefusalCase{"Quote",
                    {BoxArray::Gas, 0},
                    "6\" pipe gas",
                    "Gas Type (Gas Characteristics) " + kCannotBeSaved + "\" (U+0022)"},
        RefusalCase{"OutsideTheCodePage",
                    {BoxArray::General, 0},
                    "inlet \u2192 outlet",
                    "Run Description (General Information) " + kCannotBeSaved + "\u2192 (U+2192)"},
        RefusalCase{
            "FirstOfTwoIsNamed",
            {BoxArray::General, 0},
            "\U0001F600 then \"",
            "Run Description (General Information) " + kCannotBeSaved + "\U0001F600 (U+1F600)"},
        RefusalCase{"IllFormedUtf8",
                    {BoxArray::Exit, 2},
                    "12\xFF",
                    "Flow Rate, lb/hr (Exit Properties) " + kCannotBeSaved + "byte 0xFF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunFileTest, FailedSaveLeavesTheOldFileAndNoTemporaryFile) {
  fs::create_directory(dir_ / "folder");
  WriteBytes(dir_ / "folder" / "inside", "kept");
  SaveRunFile(RunRecord{}, dir_ / "folder", host_);  // a folder cannot be replaced by a file
  SaveRunFile(RunRecord{}, dir_ / "missing" / "run", host_);
  EXPECT_EQ(host_.messages, (std::vector<std::string>{"Error Writing File", "Error Writing File"}));
  EXPECT_EQ(Listing(), std::set<std::string>{"folder"});
  EXPECT_EQ(ReadBytes(dir_ / "folder" / "inside"), "kept");
}

TEST_F(RunFileTest, SaveDoesNotReplaceAFileThatMayNotBeWritten) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write any file";
  WriteBytes(dir_ / "run", "old contents");
  ASSERT_EQ(chmod((dir_ / "run").c_str(), 0444), 0);
  SaveRunFile(RunRecord{}, dir_ / "run", host_);
  EXPECT_EQ(host_.messages, std::vector<std::string>{"Error Writing File"});
  EXPECT_EQ(ReadBytes(dir_ / "run"), "old contents");
}

// ---- Load ----

// The file of Numbered() by lines: 0 header, 1 "General Information", 2 f0,
// 3 "Gas Characteristics", 4-6 f1-f3, 7 "Pipe Characteristics", 8-11 f4-f7,
// 12 "Initial Properties", 13-21 f8-f16, ..., 44 f34, 45 trailer.
const std::vector<std::string> kNumberedLines = Lines(EncodeRunFile(Numbered()).bytes);

std::string FirstLines(std::size_t count, const std::string& end = "\r\n") {
  return Joined({kNumberedLines.begin(), kNumberedLines.begin() + count}, end);
}
std::string WithLine(std::size_t index, const std::string& line) {
  std::vector<std::string> lines = kNumberedLines;
  lines.at(index) = line;
  return Joined(lines);
}
std::string Unquoted() {
  std::string file;
  for (const std::string& line : kNumberedLines) {
    file += " \t" + line.substr(1, line.size() - 2) + "  \n";
  }
  return file;
}

struct LoadCase {
  const char* name;
  std::string file;
  std::size_t fieldsLoaded;  // all 35, or the load fails after so many
};

class LoadTest : public RunFileTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, FillsFieldsUpToTheFirstFault) {
  ASSERT_EQ(kNumberedLines.size(), 46u);
  WriteBytes(dir_ / "run", GetParam().file);
  RunRecord run;
  LoadRunFile(run, dir_ / "run", host_);
  EXPECT_EQ(run, LoadedUpTo(GetParam().fieldsLoaded));
  EXPECT_EQ(host_.messages, GetParam().fieldsLoaded < 35
                                ? std::vector<std::string>{"Error Loading File"}
                                : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    RunFile, LoadTest,
    ::testing::Values(
        LoadCase{"Complete", FirstLines(46), 35}, LoadCase{"EmptyFile", "", 0},
        LoadCase{"HeaderInOtherCase", WithLine(0, "\"** Korvo Flow 1.0 Win File **\""), 0},
        LoadCase{"SectionNameDiffers", WithLine(7, "\"Pipe characteristics\""), 4},
        LoadCase{"EndsInsideInitialProperties", FirstLines(15), 10},
        LoadCase{"EndsInsideAQuotedItem", FirstLines(14) + "\"f9 without end", 9},
        LoadCase{"EndsRightAfterTheLastField", FirstLines(44) + "\"f34\"", 35},
        LoadCase{"NoTrailer", FirstLines(45), 35},
        LoadCase{"AnythingAfterTheLastField", WithLine(45, "garbage \" and more") + "\x81", 35},
        LoadCase{"LineFeedsOnly", FirstLines(46, "\n"), 35},
        LoadCase{"RestOfTheLineIsPassedOver", WithLine(4, "\"f1\" , ignored\"\""), 35},
        LoadCase{"ItemsWithoutQuotesAndWithBlanks", Unquoted(), 35}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunFileTest, LoadOfAFileThatCannotBeOpenedChangesNothing) {
  RunRecord run = Numbered();
  LoadRunFile(run, dir_ / "missing", host_);
  LoadRunFile(run, dir_, host_);  // a folder
  EXPECT_EQ(run, Numbered());
  EXPECT_EQ(host_.messages, (std::vector<std::string>{"Error Loading File", "Error Loading File"}));
}

TEST(RunFileReadTest, TextsAreReadAsTheyStandAndLineBreaksBecomeNewlines) {
  std::vector<std::string> lines = Lines(kStartupFile);
  lines[2] = "\"first\r\nsecond\nthird\r\n\"";  // a hand-edited LF stays one
  lines[13] = "\"abc\"";
  lines[4] = "\"\x80\x81\xFF\"";  // euro sign, an undefined byte, y with diaeresis
  std::stringbuf file(Joined(lines));
  RunRecord run;
  ASSERT_TRUE(ReadRunFile(file, run));
  EXPECT_EQ(run.general[0], "first\nsecond\nthird\n");
  EXPECT_EQ(run.input[0], "abc");
  EXPECT_EQ(run.gas[0], "\u20ac\ufffd\u00ff");
}

}  // namespace
