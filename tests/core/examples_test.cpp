// The example runs that come with the program (docs/examples) are calculated
// runs: each completes without a message, and its file holds exactly what
// Calculate and Save write for its inputs today. A change to the calculation
// that moves any shown result fails here; if the change is meant, the files
// are made again from their inputs with
//
//   build/cli/korvoflow-cli calc --in-place docs/examples/*.run
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "calc/calculate.h"
#include "runfile/runfile.h"
#include "tests/core/calc_test_support.h"

namespace {

class ExampleRunTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ExampleRunTest, HoldsWhatCalculateWrites) {
  std::ostringstream file;
  file << std::ifstream(std::string(KORVO_EXAMPLES_DIR "/") + GetParam(), std::ios::binary).rdbuf();
  std::stringbuf in(file.str());
  RunRecord run;
  ASSERT_TRUE(ReadRunFile(in, run));
  RecordingHost host;
  CalculateRun(run, host);
  EXPECT_TRUE(host.messages.empty()) << host.messages.front();
  EXPECT_EQ(EncodeRunFile(run).bytes, file.str());
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleRunTest,
                         ::testing::Values("steam-header.run", "natural-gas-line.run",
                                           "compressed-air-main.run", "vent-line.run"),
                         [](const auto& row) {
                           std::string name = row.param;
                           name = name.substr(0, name.find('.'));
                           for (char& c : name) c = c == '-' ? '_' : c;
                           return name;
                         });

}  // namespace
