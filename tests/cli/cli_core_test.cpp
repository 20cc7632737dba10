// The command line's own logic below the program: the options it refuses,
// sweeps whatever the thread count, the output formats that scripts read, and
// what a sweep's plot keeps and shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "calc/field_names.h"
#include "cli/options.h"
#include "cli/plot_content.h"

namespace {

const NumberSymbols kUs{};

std::string SweepText(SweepRequest request, Format format, unsigned threads, SweepTotals& totals) {
  request.threads = threads;
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* file = open_memstream(&buffer, &size);
  RowStream out(format, file);
  totals = RunSweep(request, out, {});
  std::fclose(file);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

// More points than one chunk, some of them choking: the rows, their order and
// the counts do not depend on the threads.
TEST(Sweep, SameOutputWhateverTheThreads) {
  SweepRequest request;
  request.base = DefaultRunRecord(kUs);
  request.axes = {ParseAxis("l=10:90:1201", kUs)};
  request.plotKeys = {kPressure2};
  for (Format format : {Format::kCsv, Format::kJson}) {
    SweepTotals one, three;
    const std::string single = SweepText(request, format, 1, one);
    EXPECT_EQ(SweepText(request, format, 3, three), single);
    EXPECT_EQ(one.points, 1201);
    EXPECT_EQ(three.endedWithMessage, one.endedWithMessage);
    EXPECT_GT(one.endedWithMessage, 0);
    ASSERT_EQ(three.plotLines.size(), 1u);
    EXPECT_TRUE(std::isnan(three.plotLines[0].Points().back().y()));  // choked: no exit pressure
  }
}

TEST(SweepAxis, EndsExactlyAndSpacesByStepOrRatio) {
  const SweepAxis linear = ParseAxis("w=0.1:0.7:7", kUs);
  EXPECT_EQ(linear.At(0), 0.1);
  EXPECT_EQ(linear.At(6), 0.7);
  EXPECT_DOUBLE_EQ(linear.At(3), 0.4);
  SweepAxis log = ParseAxis("e=1e-5:1e-3:3", kUs);
  log.log = true;
  EXPECT_DOUBLE_EQ(log.At(1), 1e-4);
  EXPECT_EQ(log.At(2), 1e-3);
  EXPECT_EQ(ParseAxis("l=5:9:1", kUs).At(0), 5);
}

// Requests refused before anything runs, each with the one line it prints.
TEST(Options, RefusedWithTheirMessage) {
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } rows[] = {
      {{}, "no command given (see --help)"},
      {{"plot"}, "unknown command \"plot\" (see --help)"},
      {{"calc", "--frobnicate"}, "unknown option \"--frobnicate\" (see --help)"},
      {{"calc", "-x.run"}, "unknown option \"-x.run\" (see --help)"},
      {{"calc", "--set"}, "--set: needs a value (see --help)"},
      {{"calc", "--set", "q=1"}, "--set: unknown field \"q\" (see --help for the keys)"},
      {{"calc", "--set", "Flow Rate, lb/hr=1"},
       "--set: \"Flow Rate, lb/hr\" is ambiguous: w or w2"},
      {{"calc", "--set", "p1=12a"},
       "--set: \"Initia, psia\" refuses \"12a\": Please Enter a Numeric Value"},
      {{"calc", "--set", "p2=1"}, "--set: \"Exit Pressure, psia\" is a result and cannot be set"},
      {{"calc", "--format", "svg"}, "--format: \"svg\" is not a format of calc"},
      {{"profile", "--vary", "w=1:2:3"}, "--vary does not apply to profile (see --help)"},
      {{"profile", "--stations", "0"}, "--stations: expected a whole number from 1 to 100000"},
      {{"profile", "--plot", "p.svg", "--plot", "q.svg"}, "--plot: given twice"},
      {{"profile", "a.run", "b.run"}, "profile: at most one run file"},
      {{"calc", "--in-place"}, "--in-place and --save-to need named run files"},
      {{"calc", "-", "-"}, "standard input (-) can be read once"},
      {{"calc", "a.run", "b.run", "--output", "c.run"},
       "--output: saves one run; give --save-to DIR for several"},
      {{"report", "--output", "r.run"}, "--output: give a .txt or .pdf file"},
      {{"calc", "--decimal", "1"}, "--decimal: unusable symbol \"1\""},
      {{"calc", "--decimal", ",", "--grouping", ","}, "--decimal and --grouping must differ"},
      {{"sweep"}, "sweep: give one or two --vary"},
      {{"sweep", "--log", "--vary", "w=1:2:3"}, "--log: must follow a --vary"},
      {{"sweep", "--vary", "w=1:2"}, "--vary w=1:2: malformed range, expected FROM:TO:COUNT"},
      {{"sweep", "--vary", "w=a:2:3"}, "--vary w=a:2:3: malformed range, expected FROM:TO:COUNT"},
      {{"sweep", "--vary", "w=1:2:0"}, "--vary w=1:2:0: COUNT must be at least 1"},
      {{"sweep", "--vary", "p2=1:2:3"}, "--vary p2=1:2:3: only a numeric input can be varied"},
      {{"sweep", "--vary", "w=0:2:3", "--log"}, "--vary w: --log needs FROM and TO above zero"},
      {{"sweep", "--vary", "w=1:2:3", "--vary", "w=1:2:3"}, "--vary: the same input twice"},
      {{"sweep", "--vary", "w=1:2:1000000000", "--vary", "l=1:2:2"},
       "--vary: more than 1,000,000,000 points"},
      {{"sweep", "--vary", "w=1:2:3", "--plot", "p.svg"}, "--plot and --y go together"},
      {{"sweep", "--vary", "w=1:2:3", "--plot", "p.pdf", "--y", "p2"},
       "--plot: give a .svg or .png file"},
      {{"solve", "--target", "p2>=5"}, "solve needs --for KEY, the free input: w, d, l or p1"},
      {{"solve", "--for", "t1", "--target", "p2>=5"},
       "solve: cannot solve for \"t1\": the free input is one of w (flow), d (diameter), l "
       "(length) or p1 (inlet pressure)"},
      {{"solve", "--for", "d"},
       "solve: no target given: a solve needs a condition such as dpc<=100"},
      {{"solve", "--for", "d", "--target", "p1<=5"},
       "solve: \"p1<=5\": p1 is an input (Initia, psia), and a target bounds a result"},
      {{"solve", "--for", "d", "--target", "gas=Air"},
       "solve: \"gas=Air\": gas is a text (Gas Type), and a target bounds a result"},
      {{"solve", "--for", "d", "--target", "dpc=<5"}, "solve: \"dpc=<5\": \"<5\" is not a number"},
      {{"solve", "--for", "d", "--target", "dpc<=5", "--schedule", "41"},
       "solve: \"41\" is not a pipe schedule: choose one of 10, 40, 80, 160, STD, XS, XXS, 5S, "
       "10S, 40S, 80S"},
      {{"solve", "--for", "p1", "--target", "p2>=5", "--inlet", "vessel", "--set", "p0=9", "--set",
        "t0=9"},
       "--inlet vessel finds p1 from the vessel's p0: solve for w, d or l"},
      {{"calc", "x.run", "--output", "a.run", "--in-place"},
       "--output, --in-place and --save-to: give one of them"},
      {{"calc", "x.run", "--in-place", "--save-to", "."},
       "--output, --in-place and --save-to: give one of them"},
      {{"sweep", "--vary", "w=1:2:3", "--target", "p2>=5"},
       "--target and --schedule go with --solve"},
      {{"sweep", "--vary", "d=1:2:3", "--solve", "d", "--target", "dpc<=5"},
       "--vary d: it is the input solved for"},
      {{"sweep", "--vary", "e=1:2:3", "--friction-factor", "0.02"},
       "--vary e: --friction-factor sets the roughness"},
      {{"sweep", "--vary", "t1=-300:20:3", "--units", "si"},
       "--vary t1: Initial Temp, C: -300 is at or below absolute zero"},
      {{"calc", "--gas", "unobtainium"}, "--gas: unknown gas \"unobtainium\""},
      {{"calc", "--gas", "methane:0.5,ethane:0.4"},
       "--gas: the mole fractions sum to 0.9, not 1 (within 0.000001)"},
      {{"calc", "--fittings", "0.5,-1"}, "--fittings: K -1 is negative"},
      {{"calc", "--fitting", "elbow-99"}, "--fitting: unknown fitting \"elbow-99\""},
      {{"calc", "--units", "imperial"}, "--units: unknown units \"imperial\" (us or si)"},
      {{"calc", "--units", "si", "--set", "p1=-1"},
       "--set: Initia, kPa(a): -1 is below zero absolute pressure"},
      {{"calc", "--friction-factor", "0"}, "--friction-factor: \"0\" is not a number above 0"},
      {{"calc", "--fanning"}, "--fanning goes with --friction-factor"},
      {{"calc", "--friction-factor", "0.02", "--set", "e=0.001"},
       "--set e: --friction-factor sets the roughness"},
      {{"calc", "--inlet", "header"}, "--inlet: \"header\" is neither vessel nor pipe"},
      {{"calc", "--set", "p0=100"}, "--set p0: a vessel's p0 and t0 go with --inlet vessel"},
      {{"calc", "--inlet", "vessel", "--set", "p0=100"},
       "--inlet vessel needs the vessel's --set p0=PRESSURE and --set t0=TEMPERATURE"},
      {{"calc", "--inlet", "vessel", "--set", "p0=9", "--set", "t0=9", "--set", "t1=5"},
       "--set t1: the vessel inlet finds p1 and t1 from the vessel's p0 and t0"},
      {{"gases", "a.run"}, "gases: takes no run file"},
      {{"schedules", "--set", "w=1"}, "--set does not apply to schedules (see --help)"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> arguments{"korvoflow-cli"};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    try {
      ParseOptions(arguments, kUs);
      ADD_FAILURE() << "accepted: " << row.message;
    } catch (const UsageError& error) {
      EXPECT_STREQ(error.what(), row.message);
    }
  }
}

// The largest accepted sweep, options after the run files, and the --log that
// belongs to the --vary before it.
TEST(Options, AcceptedInAnyOrder) {
  const Options o = ParseOptions({"korvoflow-cli", "sweep", "--vary", "w=1:2:1000000000", "--log",
                                  "run.run", "--threads", "2", "--vary=e=1:2:1"},
                                 kUs);
  ASSERT_EQ(o.axes.size(), 2u);
  EXPECT_TRUE(o.axes[0].log);
  EXPECT_FALSE(o.axes[1].log);
  EXPECT_EQ(o.files, std::vector<std::string>{"run.run"});
  EXPECT_EQ(o.format, Format::kCsv);
  EXPECT_EQ(o.threads, 2u);
}

// CSV quotes only what needs it and gives every record as many fields as the
// header, empty cells included; JSON escapes what a string cannot hold.
TEST(Output, FormatsKeepEveryCell) {
  const Row row{TextCell("file", ""),
                TextCell("desc", "Line \"7\",\nheader\x01\xFF\x80\xC3\xA9\xF5\x80\x80\x80"),
                NumberCell("w", "lb/hr", "600,000", kUs), NumberCell("p2", "psia", "", kUs),
                CountCell("i", 3)};
  const RowFormat& csv = FormatOf(Format::kCsv);
  EXPECT_EQ(csv.Header(row), "file,desc,w [lb/hr],w_value [lb/hr],p2 [psia],p2_value [psia],i\r\n");
  EXPECT_EQ(FormatOf(Format::kCsv, CsvHeader::kKeys).Header(row),
            "file,desc,w,w_value,p2,p2_value,i\r\n");
  EXPECT_EQ(csv.Record(row),
            ",\"Line "
            "\"\"7\"\",\nheader\x01\xFF\x80\xC3\xA9\xF5\x80\x80\x80\",\"600,000\",600000,,,3\r\n");
  EXPECT_EQ(
      FormatOf(Format::kJson).Record(row),
      "{\"file\":\"\",\"desc\":\"Line \\\"7\\\",\\nheader\\u0001\xEF\xBF\xBD\xEF\xBF\xBD\xC3\xA9"
      "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\","
      "\"w\":{\"text\":\"600,000\",\"value\":600000},\"p2\":{\"text\":\"\",\"value\":null},"
      "\"i\":3}");
}

// A line keeps what its pixel columns show: a one-point spike among a million
// points survives, values alternating with gaps stay bounded, and a few points
// are all kept, a stretch without values as the x of its ends.
TEST(LineSampler, KeepsTheShapeWithinItsColumns) {
  LineSampler many, alternating, few;
  for (int i = 0; i < 1'000'000; ++i) {
    const double at = i / 999'999.0;
    many.Add(at, {at, i == 123'457 ? 50.0 : std::sin(at * 20)});
    alternating.Add(at, {at, i % 2 ? std::nan("") : 1.0});
  }
  for (int i = 0; i < 500; ++i) few.Add(i / 499.0, {1.0 * i, i < 400 ? 1.0 * i : std::nan("")});
  for (LineSampler* line : {&many, &alternating, &few}) line->Finish();
  EXPECT_LE(many.Points().size(), 4u * kPlotColumns);
  EXPECT_EQ(std::max_element(many.Points().begin(), many.Points().end(),
                             [](QPointF a, QPointF b) { return a.y() < b.y(); })
                ->y(),
            50.0);
  EXPECT_LE(alternating.Points().size(), 10u * kPlotColumns);
  ASSERT_EQ(few.Points().size(), 402u);
  EXPECT_EQ(few.Points()[400].x(), 400);
  EXPECT_EQ(few.Points()[401].x(), 499);
  EXPECT_TRUE(std::isnan(few.Points()[401].y()));
}

// The plot of a sweep given as on the command line.
PlotContent PlotOf(std::vector<std::string> arguments, SweepTotals& totals) {
  arguments.insert(arguments.begin(), {"korvoflow-cli", "sweep", "--plot", "p.svg"});
  const Options o = ParseOptions(arguments, kUs);
  SweepRequest request;
  request.base = DefaultRunRecord(kUs);
  request.axes = o.axes;
  request.plotKeys = o.plotKeys;
  request.threads = 2;
  std::FILE* sink = std::fopen("/dev/null", "w");
  RowStream out(Format::kCsv, sink);
  totals = RunSweep(request, out, {});
  std::fclose(sink);
  return SweepPlot(o, totals);
}

// Fields of one unit share an axis titled with their captions and the unit;
// two units take both sides of a panel, more units a panel each.
TEST(SweepPlot, AnAxisPerUnit) {
  const struct {
    const char* keys;
    std::vector<std::pair<const char*, const char*>> panels;  // left and right titles
  } rows[] = {
      {"p2", {{"Exit Pressure, psia", ""}}},
      {"p2,m2", {{"Exit Pressure, psia", "Exit Mach Number"}}},
      {"p2,p0", {{"Exit Pressure / Pressure, psia", ""}}},
      {"p2,m2,dpc",
       {{"Exit Pressure, psia", ""}, {"Exit Mach Number", ""}, {"Compressible Pr. Loss, psi", ""}}},
  };
  for (const auto& row : rows) {
    SweepTotals totals;
    const PlotContent plot = PlotOf({"--vary", "w=100000:900000:9", "--y", row.keys}, totals);
    ASSERT_EQ(plot.panels.size(), row.panels.size()) << row.keys;
    for (std::size_t p = 0; p < row.panels.size(); ++p) {
      EXPECT_EQ(plot.panels[p].yTitle, row.panels[p].first) << row.keys;
      EXPECT_EQ(plot.panels[p].secondYTitle, row.panels[p].second) << row.keys;
    }
  }
}

// A grid of thousands of values of its second input draws ten of them,
// evenly chosen, and says so.
TEST(SweepPlot, GridDrawsTenValues) {
  SweepTotals totals;
  const PlotContent plot =
      PlotOf({"--vary", "w=400000:600000:2", "--vary", "d=4:12:4000", "--y", "p2"}, totals);
  ASSERT_EQ(totals.plottedValues.size(), 10u);
  EXPECT_EQ(totals.plottedValues.back(), 3999);
  EXPECT_EQ(plot.series.size(), 10u);
  EXPECT_EQ(plot.title, "Korvo Flow case study: 10 of 4,000 values of d shown");
  EXPECT_EQ(plot.series.back().name, "d = 12 in.");
}

}  // namespace
