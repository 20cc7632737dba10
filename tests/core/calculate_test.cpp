#include "calc/calculate.h"

#include <gtest/gtest.h>

#include "tests/core/calc_test_support.h"

namespace {

RunRecord Calculated(RunRecord run, RecordingHost& host) {
  CalculateRun(run, host);
  return run;
}

TEST(DefaultRun, WritesEveryResultAsPublished) {
  RecordingHost host;
  const RunRecord run = Calculated(RunRecord{}, host);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(run.input[4], "0.882324");
  EXPECT_EQ(run.input[5], "1.133371");
  EXPECT_EQ(run.input[6], "961.476367");
  EXPECT_EQ(run.input[7], "2,284.767526");
  EXPECT_EQ(run.input[8], "0.42082");
  EXPECT_EQ(run.pipe[3], "0.014937");
  EXPECT_EQ(run.pressureLoss[1], "184.340013");
  const std::array<std::string, 9> exit{"346.66",   "872.21",   "600,000", "0.974",   "0.449109",
                                        "2.226631", "1,888.93", "2,193.0", "0.862226"};
  EXPECT_EQ(run.exit, exit);
  EXPECT_EQ(run.pressureLoss[0], "393.339088");
  EXPECT_EQ(run.stagnation[0], "1,025.68");
  EXPECT_EQ(run.stagnation[1], "829.71");
  EXPECT_EQ(run.limiting[0], "71.1");
  EXPECT_EQ(run.limiting[1], "602,877.3");
  EXPECT_EQ(run.check[0], "2.091183");
  EXPECT_EQ(run.check[1], "2.091182");
  EXPECT_EQ(run.check[2], "0.861341");
}

}  // namespace
