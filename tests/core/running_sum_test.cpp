#include "calc/running_sum.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace {

double NaiveSum(double start, double step, std::uint64_t n) {
  double x = start;
  for (std::uint64_t i = 0; i < n; ++i) x = x + step;
  return x;
}

// Each grid crosses binade edges; the odd steps make the rounding of the
// increment a tie (1.5 or 0.5 units in the last place) or lose it entirely.
// clang-format off
const double kGrids[][2] = {
    {0.0421, 1e-7}, {0.4999999, 1e-7}, {1e-12, 1e-7}, {100.0, 0.1}, {127.95, 0.1},
    {1.0, 0x1.8p-52}, {1.0 + 0x1p-52, 0x1.8p-52}, {0.5 - 0x1p-40, 0x1.8p-53},
    {2.0 - 0x1p-45, 0x1.8p-53}, {1.0, 0x1p-53}, {1.0 + 0x1p-52, 0x1p-53}, {0.0, 0.3},
};
// clang-format on

// Also the sums of a whole grid with its binade edges kept (RunningSums),
// asked for in walking order and then anywhere behind.
TEST(RunningSum, EqualsTheRepeatedAdditionAlongEachGrid) {
  for (const auto& [start, step] : kGrids) {
    std::mt19937_64 random(7);
    RunningSums sums(start, step);
    double naive = start;
    // Walk a few million additions, checking at irregular counts.
    std::uint64_t done = 0;
    while (done < 3'000'000) {
      const std::uint64_t more = 1 + random() % 50'000;
      for (std::uint64_t i = 0; i < more; ++i) naive = naive + step;
      done += more;
      ASSERT_EQ(RunningSum(start, step, done), naive)
          << std::hexfloat << start << " + " << step << " x " << done;
      ASSERT_EQ(sums.At(done), naive) << std::hexfloat << start << " + " << step << " x " << done;
    }
    for (int i = 0; i < 200; ++i) {
      const std::uint64_t n = random() % done;
      ASSERT_EQ(sums.At(n), RunningSum(start, step, n)) << std::hexfloat << start << " x " << n;
    }
  }
}

TEST(RunningSum, RandomStartsStepsAndCounts) {
  std::mt19937_64 random(2024);
  for (int i = 0; i < 3000; ++i) {
    const double start =
        std::ldexp(static_cast<double>(random() >> 11), -53 + int(random() % 20) - 10);
    const double step =
        std::ldexp(static_cast<double>((random() >> 11) | 1), -53 - int(random() % 30));
    const std::uint64_t n = random() % 3000;
    ASSERT_EQ(RunningSum(start, step, n), NaiveSum(start, step, n))
        << std::hexfloat << start << " + " << step << " x " << n;
  }
}

}  // namespace
