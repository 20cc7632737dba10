// The worked examples of tests/data/engineering_examples.tsv: the flow is the
// largest for which the run completes with its exit pressure at or above the
// back pressure (the choking flow where the line chokes first).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "calc/calculate.h"
#include "engineering/fittings.h"
#include "engineering/gases.h"
#include "engineering/roughness.h"
#include "engineering/vessel_inlet.h"
#include "tests/core/calc_test_support.h"
#include "tests/engineering/message_of.h"

namespace {

using Row = std::vector<std::string>;

struct Example {
  Row header, cells;
  const std::string& operator[](const char* key) const {
    return cells.at(std::find(header.begin(), header.end(), key) - header.begin());
  }
  double Number(const char* key, double otherwise = 0) const {
    return (*this)[key] == "-" ? otherwise : std::stod((*this)[key]);
  }
};

std::vector<Example> Examples() {
  std::ifstream file(KORVO_TEST_DATA_DIR "/engineering_examples.tsv");
  std::vector<Row> rows;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream split(line);
    Row& row = rows.emplace_back();
    for (std::string cell; std::getline(split, cell, '\t');) row.push_back(cell);
  }
  std::vector<Example> examples;
  for (std::size_t i = 1; i < rows.size(); ++i) examples.push_back({rows[0], rows[i]});
  return examples;
}

// The run completes at flow w with an exit pressure at or above the back pressure.
bool Passes(const Example& x, double w) {
  const GasChoice gas = x["mw"] == "-" ? ParseGas(x["gas"]) : GasChoice{};
  const double mw = x.Number("mw", gas.mw), k = x.Number("k", gas.k), z = x.Number("z");
  const double d = x.Number("d"), given = std::stod(x["friction"].substr(2));
  const double e = x["friction"][0] == 'f'
                       ? RoughnessFor(given, FrictionFactorKind::Darcy, d).roughnessFt
                       : given;
  const auto fittings =
      x["fittings"] == "-" ? std::vector<FittingUse>{} : ParseFittings(x["fittings"]);
  double p1 = x.Number("p"), t1 = x.Number("t");
  const auto atEntrance = [&] {
    const VesselInletResult inlet = VesselInlet({p1, t1, k, mw, w, z, d});
    p1 = inlet.p1;
    t1 = inlet.t1;
  };
  if (x["inlet"] == "vessel" && MessageOf(atEntrance) != "(no error)") return false;  // choked
  RunRecord run;
  const double l = AddFittings(x.Number("l"), d, e, {}, fittings).totalFt;
  for (const auto& [text, value] : {std::pair{&run.gas[1], mw},
                                    {&run.gas[2], k},
                                    {&run.pipe[0], d},
                                    {&run.pipe[1], e},
                                    {&run.pipe[2], l},
                                    {&run.input[0], p1},
                                    {&run.input[1], t1},
                                    {&run.input[2], w},
                                    {&run.input[3], z},
                                    {&run.exit[3], z}}) {
    *text = ShortestText(value);
  }
  RecordingHost host;
  CalculateRun(run, host);
  return host.messages.empty() && TextToNumber(run.exit[0]).value_or(0) >= x.Number("back");
}

TEST(WorkedExamples, ReachThePublishedFlow) {
  const std::vector<Example> examples = Examples();
  ASSERT_EQ(examples.size(), 3u);
  for (const Example& x : examples) {
    double lo = 1, hi = 1e8;  // lb/hr, bisected by ratio
    for (int i = 0; i < 60; ++i) (Passes(x, std::sqrt(lo * hi)) ? lo : hi) = std::sqrt(lo * hi);
    const double published = x.Number("w_lb_hr");
    EXPECT_NEAR(lo, published, published * x.Number("tolerance") / 100) << x["name"];
  }
}

}  // namespace
