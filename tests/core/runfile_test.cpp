#include "runfile/runfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

struct RecordingHost : FileHost {
  void ShowFileError(const std::string& text) override { messages.push_back(text); }
  Strings messages;
};

std::string ReadBytes(const fs::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}
void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
const fs::path kData = KORVO_TEST_DATA_DIR;

// The first `count` fields, in walk order, hold "f0", "f1", ...; the others
// "old". Numbered() is a run whose texts all differ from the defaults, and
// Numbered(n) what a load into Numbered(0) leaves when it stops after n fields.
RunRecord Numbered(std::size_t count = 35) {
  RunRecord run;
  for (std::size_t i = 0; i < 35; ++i)
    Text(run, FieldTable()[i].ref) = i < count ? "f" + std::to_string(i) : "old";
  return run;
}

class RunFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename());
    return names;
  }

  const fs::path dir_ = fs::temp_directory_path() / ("korvo-runfile-" + std::to_string(getpid()));
  RecordingHost host_;
};

// ---- Save ----

// Replacing keeps the old file's permissions, and a symbolic link stays a link.
TEST_F(RunFileTest, SaveAfterStartUpReplacesTheFileWithTheExampleBytes) {
  const std::string startup = ReadBytes(kData / "startup.run");
  ASSERT_EQ(startup.size(), 450u);
  WriteBytes(dir_ / "run", "old contents");
  ASSERT_EQ(chmod((dir_ / "run").c_str(), 0640), 0);
  SaveRunFile(RunRecord{}, dir_ / "run", host_);
  EXPECT_EQ(ReadBytes(dir_ / "run"), startup);
  EXPECT_EQ(fs::status(dir_ / "run").permissions(), fs::perms(0640));
  EXPECT_EQ(Listing(), std::set<std::string>{"run"});  // no temporary file left

  WriteBytes(dir_ / "run", "old contents");
  fs::create_symlink("run", dir_ / "link");
  SaveRunFile(RunRecord{}, dir_ / "link", host_);
  EXPECT_TRUE(fs::is_symlink(dir_ / "link"));
  EXPECT_EQ(ReadBytes(dir_ / "run"), startup);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(RunFileTest, SaveThenLoadRestoresEveryTextExactly) {
  RunRecord saved = Numbered();
  saved.general[0] = "Line one\n  second line, indented  \n\nafter a blank line\n";
  saved.gas[0] = "  Caf\u00e9 gas \u20ac  ";  // blanks and two Windows-1252 letters
  saved.input[2] = "600,000";
  saved.exit[5] = "";
  SaveRunFile(saved, dir_ / "run", host_);
  ASSERT_EQ(ReadBytes(dir_ / "run"), ReadBytes(kData / "round_trip.run"));  // €: 0x80, é: 0xE9
  RunRecord loaded;
  LoadRunFile(loaded, dir_ / "run", host_);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(loaded, saved);
}

// A failed save shows one message and touches no file: a text the format
// cannot hold is refused before anything is written, and a file that cannot
// be written leaves the old one and no temporary file behind.
struct SaveFailure {
  const char* name;
  std::string target;
  FieldRef field;
  std::string text, message;
};
void PrintTo(const SaveFailure& failure, std::ostream* out) {
  *out << failure.name;
}
class FailedSaveTest : public RunFileTest, public ::testing::WithParamInterface<SaveFailure> {};

TEST_P(FailedSaveTest, ShowsOneMessageAndTouchesNoFile) {
  const SaveFailure& failure = GetParam();
  if (failure.target == "readonly" && geteuid() == 0) GTEST_SKIP() << "root may write any file";
  const Strings files{"run", "readonly", "folder/inside"};
  fs::create_directory(dir_ / "folder");
  for (const std::string& name : files) WriteBytes(dir_ / name, "kept");
  ASSERT_EQ(chmod((dir_ / "readonly").c_str(), 0444), 0);
  RunRecord run;
  if (!failure.text.empty()) Text(run, failure.field) = failure.text;
  SaveRunFile(run, dir_ / failure.target, host_);
  EXPECT_EQ(host_.messages, Strings{failure.message});
  EXPECT_EQ(Listing(), (std::set<std::string>{"folder", "readonly", "run"}));
  for (const std::string& name : files) EXPECT_EQ(ReadBytes(dir_ / name), "kept") << name;
}

const std::string kCannot = " Contains a Character that Cannot be Saved in a Run File: ";
// clang-format off
INSTANTIATE_TEST_SUITE_P(RunFile, FailedSaveTest, ::testing::Values(
    SaveFailure{"Quote", "run", {BoxArray::Gas, 0}, "6\" pipe gas", "Gas Type (Gas Characteristics)" + kCannot + "\" (U+0022)"},
    SaveFailure{"OutsideTheCodePage", "run", {BoxArray::General, 0}, "in \u2192 out", "Run Description (General Information)" + kCannot + "\u2192 (U+2192)"},
    SaveFailure{"FirstOfTwoIsNamed", "run", {BoxArray::General, 0}, "\U0001F600 then \"", "Run Description (General Information)" + kCannot + "\U0001F600 (U+1F600)"},
    SaveFailure{"IllFormedUtf8", "run", {BoxArray::Exit, 2}, "12\xFF", "Flow Rate, lb/hr (Exit Properties)" + kCannot + "byte 0xFF"},
    SaveFailure{"TargetIsAFolder", "folder", {}, "", "Error Writing File"},
    SaveFailure{"FolderMissing", "missing/run", {}, "", "Error Writing File"},
    SaveFailure{"ReadOnlyFile", "readonly", {}, "", "Error Writing File"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// ---- Load ----

// Numbered()'s file, and its first `count` lines (the header is line 1).
const std::string kNumbered = EncodeRunFile(Numbered()).bytes;

std::string WithoutCarriageReturns(std::string bytes) {
  bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
  return bytes;
}
std::string FirstLines(std::size_t count) {
  std::size_t end = 0;
  while (count-- > 0) end = kNumbered.find("\r\n", end) + 2;
  return kNumbered.substr(0, end);
}
std::string Replaced(std::string file, const std::string& from, const std::string& to) {
  return file.replace(file.find(from), from.size(), to);  // the first one only
}

struct LoadCase {
  const char* name;
  std::string file;
  std::size_t fieldsLoaded;  // all 35, or the load fails after so many
  const char* target = "run";
};
void PrintTo(const LoadCase& load, std::ostream* out) {
  *out << load.name;
}
class LoadTest : public RunFileTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, FillsFieldsUpToTheFirstFault) {
  WriteBytes(dir_ / "run", GetParam().file);
  RunRecord run = Numbered(0);
  LoadRunFile(run, dir_ / GetParam().target, host_);
  EXPECT_EQ(run, Numbered(GetParam().fieldsLoaded));
  EXPECT_EQ(host_.messages,
            GetParam().fieldsLoaded < 35 ? Strings{"Error Loading File"} : Strings{});
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(RunFile, LoadTest, ::testing::Values(
    LoadCase{"Complete", kNumbered, 35},
    LoadCase{"EmptyFile", "", 0},
    LoadCase{"CannotBeOpened", "", 0, "missing"},
    LoadCase{"IsAFolder", "", 0, "."},
    LoadCase{"HeaderInOtherCase", Replaced(kNumbered, "KORVO FLOW 1.0 Win FILE", "Korvo Flow 1.0 Win File"), 0},
    LoadCase{"SectionNameDiffers", Replaced(kNumbered, "Pipe Characteristics", "Pipe characteristics"), 4},
    LoadCase{"EndsInsideInitialProperties", FirstLines(15), 10},
    LoadCase{"EndsInsideAQuotedItem", FirstLines(14) + "\"f9 without end", 9},
    LoadCase{"EndsRightAfterTheLastField", FirstLines(44) + "\"f34\"", 35},
    LoadCase{"NoTrailer", FirstLines(45), 35},
    LoadCase{"AnythingAfterTheLastField", FirstLines(45) + "garbage \" and more\r\n\x81", 35},
    LoadCase{"LineFeedsOnly", WithoutCarriageReturns(kNumbered), 35}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A file edited by hand: LF line ends, items without quotes, blanks around
// items, a note after a quoted item, a description whose line breaks mix
// CR LF and LF, bytes of the upper half of the code page (0x81 has no
// character), and a line after the last field.
TEST_F(RunFileTest, HandEditedFileLoads) {
  RunRecord expected = Numbered();
  expected.general[0] = "first\nsecond\nthird\n";
  expected.gas[0] = "\u20ac\ufffd\u00ff";
  RunRecord run;
  LoadRunFile(run, kData / "hand_edited.run", host_);
  EXPECT_EQ(run, expected);
  EXPECT_TRUE(host_.messages.empty());
}

}  // namespace
