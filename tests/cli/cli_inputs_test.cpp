// The engineering inputs through the command line's own parsing: numbers in
// SI and back, numbers kept as typed, and the published worked examples.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "calc/field_names.h"
#include "cli/options.h"
#include "cli/solve_command.h"

namespace {

Options Parsed(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "korvoflow-cli");
  return ParseOptions(arguments, {});
}

RunRecord Loaded(const Options& o) {
  RunRecord run = DefaultRunRecord(o.symbols);
  PrepareLoaded(run, o, "");
  return run;
}

// Given in SI, shown in SI as given; the run (and its file) holds the US
// values at full precision.
TEST(Units, SiRoundTrip) {
  const Options o = Parsed({"calc", "--units", "si", "--set", "p1=5000", "--set", "t1=0.1", "--set",
                            "w=250000", "--set", "d=150", "--set", "e=0.05"});
  RunRecord run = Loaded(o);
  EXPECT_EQ(Text(run, kPressure1), ShortestText(FromUnits(kPressure1, 5000, UnitSystem::Si)));
  const Row row = CalculatePrepared(run, o.inputs, o.symbols).cells;
  for (const auto& [key, text, value] : {std::tuple{"p1", "5,000", 5000.0},
                                         {"t1", "0.1", 0.1},
                                         {"w", "250,000", 250000.0},
                                         {"d", "150", 150.0},
                                         {"e", "0.05", 0.05}}) {
    EXPECT_EQ(CellOf(row, key).text, text);
    EXPECT_EQ(CellOf(row, key).value, value) << key;
  }
  EXPECT_EQ(CellOf(row, "p2").unit, "kPa(a)");
  const std::string path = testing::TempDir() + "si_round_trip.run";
  ASSERT_TRUE(SaveRun(run, path));
  EXPECT_EQ(Text(LoadRun(path, {}), kTemperature1), Text(run, kTemperature1));
  std::remove(path.c_str());
}

// A typed number is kept as given, with a note where the window would round it.
TEST(Units, TypedNumbersKeptWithANote) {
  const Options o = Parsed({"calc", "--set", "e=0.0000015", "--set", "w=600000"});
  EXPECT_EQ(o.sets[0].text, "0.0000015");
  EXPECT_EQ(o.sets[1].text, "600000");
  EXPECT_EQ(o.notes, std::vector<std::string>{"Pipe Roughness, ft: the window would round "
                                              "0.0000015 to 0.000002; kept as given"});
}

// A length solved with fittings: the answer is the straight length, the run
// holds the total equivalent length, each prepared once.
TEST(Solve, StraightLengthWithFittings) {
  const Options o = Parsed({"solve", "--for", "l", "--target", "m2<=0.7", "--fittings", "0.5"});
  const SolvedRun solved = SolveRun(Loaded(o), *o.solve, o.inputs, o.symbols);
  ASSERT_TRUE(solved.complete);
  EXPECT_EQ(CellOf(solved.cells, "l_straight").value, solved.result.value);
  const double f = *solved.result.calculated.values.Of(kFrictionFactor);
  EXPECT_DOUBLE_EQ(*CellOf(solved.cells, "l").value, solved.result.value + 0.5 * 0.5 / f);
}

// Points whose flow cannot enter the pipe from the vessel end with why; the
// others are calculated from their own entrance state.
TEST(Sweep, VesselInletAtEveryPoint) {
  const Options o = Parsed({"sweep", "--vary", "w=100000:900000:3", "--inlet", "vessel", "--set",
                            "p0=800", "--set", "t0=1000"});
  SweepRequest request{Loaded(o), o.symbols, o.axes, {}, 1, o.inputs, std::nullopt};
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* file = open_memstream(&buffer, &size);
  RowStream out(Format::kCsv, file);
  const SweepTotals totals = RunSweep(request, out, {});
  std::fclose(file);
  const std::string text(buffer, size);
  std::free(buffer);
  EXPECT_EQ(totals.endedWithMessage, 1);
  EXPECT_NE(text.find("0,complete,"), std::string::npos);
  EXPECT_NE(text.find("2,the pipe entrance would be choked"), std::string::npos);
}

using Cells = std::vector<std::string>;

// The rows of tests/data/engineering_examples.tsv, each a map by column.
std::vector<std::map<std::string, std::string>> Examples() {
  std::ifstream file(KORVO_TEST_DATA_DIR "/engineering_examples.tsv");
  std::vector<Cells> rows;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream split(line);
    Cells& row = rows.emplace_back();
    for (std::string cell; std::getline(split, cell, '\t');) row.push_back(cell);
  }
  std::vector<std::map<std::string, std::string>> examples(rows.size() - 1);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    for (std::size_t c = 0; c < rows[0].size(); ++c) examples[i - 1][rows[0][c]] = rows[i][c];
  }
  return examples;
}

// Each example as an engineer types it: the largest flow whose exit pressure
// reaches the back pressure, from the header or the line's inlet.
Cells ExampleArguments(std::map<std::string, std::string> x) {
  const bool vessel = x["inlet"] == "vessel";
  Cells a{"solve",
          "--for",
          "w",
          "--target",
          "p2>=" + x["back"],
          "--set",
          "z1=" + x["z"],
          "--set",
          "z2=" + x["z"],
          "--set",
          "d=" + x["d"],
          "--set",
          "l=" + x["l"],
          "--set",
          (vessel ? "p0=" : "p1=") + x["p"],
          "--set",
          (vessel ? "t0=" : "t1=") + x["t"]};
  const Cells gas = x["mw"] == "-" ? Cells{"--gas", x["gas"]}
                                   : Cells{"--set", "gas=" + x["gas"], "--set", "mw=" + x["mw"]};
  a.insert(a.end(), gas.begin(), gas.end());
  if (x["k"] != "-") a.insert(a.end(), {"--set", "k=" + x["k"]});
  if (vessel) a.insert(a.end(), {"--inlet", "vessel"});
  const std::string friction = x["friction"];
  if (friction[0] == 'f') a.insert(a.end(), {"--friction-factor", friction.substr(2)});
  if (friction[0] == 'e') a.insert(a.end(), {"--set", friction});
  if (x["fittings"] != "-") a.insert(a.end(), {"--fitting", x["fittings"]});
  return a;
}

TEST(WorkedExamples, ReachThePublishedFlowThroughTheCommandLine) {
  const auto examples = Examples();
  ASSERT_EQ(examples.size(), 3u);
  for (const auto& x : examples) {
    const Options o = Parsed(ExampleArguments(x));
    const SolvedRun solved = SolveRun(Loaded(o), *o.solve, o.inputs, o.symbols);
    ASSERT_TRUE(solved.complete) << x.at("name") << ": " << solved.result.limit;
    const double published = std::stod(x.at("w_lb_hr"));
    EXPECT_NEAR(solved.result.value, published, published * std::stod(x.at("tolerance")) / 100)
        << x.at("name");
  }
}

}  // namespace
