#include "numtext/numtext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

const NumberSymbols kUs{".", ","};
const NumberSymbols kContinental{",", "."};

struct FormatRow {
  double value;
  DisplayPattern pattern;
  const char* text;
};

// The published renderings, and a few of our own at the edges.
// clang-format off
const FormatRow kFormatRows[] = {
    {740, kInputPattern, "740."}, {600000, kInputPattern, "600,000."}, {0.975, kInputPattern, "0.975"},
    {6.0, kInputPattern, "6."}, {0.00015, kInputPattern, "0.00015"},
    {1234567.1234567, kInputPattern, "1,234,567.123457"}, {12345678901.5, kInputPattern, "12,345,678,901.5"},
    {-12.5, kInputPattern, "-12.5"}, {0.0000005, kInputPattern, "0.000001"}, {0.0000004, kInputPattern, "0."},
    {740, kResultPattern6, "740.0"}, {0.4208202176280419, kResultPattern6, "0.42082"},
    {0.8823236452529015, kResultPattern6, "0.882324"}, {961.4763674277079, kResultPattern6, "961.476367"},
    {2284.7675257787773, kResultPattern6, "2,284.767526"}, {0.014937020080283766, kResultPattern6, "0.014937"},
    {3, kResultPattern6, "3.0"}, {0.0000004, kResultPattern6, "0.0"}, {0.0000001, kResultPattern6, "0.0"},
    {57, kResultPattern2, "57.0"}, {872.20703547522, kResultPattern2, "872.21"},
    {2193.004376313973, kResultPattern2, "2,193.0"}, {71.10254155327355, kResultPattern2, "71.1"},
    {602877.2999314377, kResultPattern2, "602,877.3"}, {1234.999, kResultPattern2, "1,235.0"},
    {999.996, kResultPattern2, "1,000.0"},  // the carry reaches a new digit and a group
    {-3.14159, kResultPattern2, "-3.14"}, {12345.678, kResultPattern2, "12,345.68"},
    {2.675, kResultPattern2, "2.68"},  // half away from zero, after the 15-digit rounding
    {1445.67, kWholePattern, "1,446"}, {2.5, kWholePattern, "3"}, {0.4, kWholePattern, "0"},
    {600000, kWholePattern, "600,000"},
    {0.30000000000000004, kResultPattern6, "0.3"}, {-0.0000001, kResultPattern6, "0.0"},
    {-0.0, kWholePattern, "0"}, {1e20, kResultPattern2, "100,000,000,000,000,000,000.0"},
    // The pattern rounds the 15-significant-digit text, not the binary value:
    // from 16 digits these would show "1.0" and "0.123456".
    {1.004999999999999, kResultPattern2, "1.01"}, {0.1234564999999999, kResultPattern6, "0.123457"},
};
// clang-format on

TEST(FormatByPattern, RendersThePublishedRows) {
  for (const FormatRow& row : kFormatRows) {
    EXPECT_EQ(FormatByPattern(row.value, row.pattern, kUs), row.text) << row.value;
  }
}

TEST(FormatByPattern, UsesTheGivenSymbolsAndRefusesNonFiniteValues) {
  EXPECT_EQ(FormatByPattern(2284.7675257787773, kResultPattern6, kContinental), "2.284,767526");
  EXPECT_EQ(FormatByPattern(600000, kInputPattern, kContinental), "600.000,");
  EXPECT_EQ(FormatByPattern(1234567.5, kResultPattern2, {",", "\u00a0"}), "1\u00a0234\u00a0567,5");
  EXPECT_EQ(FormatByPattern(std::numeric_limits<double>::quiet_NaN(), kResultPattern6), "");
  EXPECT_EQ(FormatByPattern(std::numeric_limits<double>::infinity(), kResultPattern6), "");
}

// The library's exactly rounded "%.14e", read back as digits and exponent.
SignificantDigits LibraryDigits(double magnitude) {
  char text[32];
  char* end =
      std::to_chars(text, text + sizeof text - 1, magnitude, std::chars_format::scientific, 14).ptr;
  *end = '\0';
  SignificantDigits d{0, std::atoi(std::find(text, end, 'e') + 1)};
  for (const char* c = text; *c != 'e'; ++c) {
    if (*c != '.') d.digits = d.digits * 10 + static_cast<std::uint64_t>(*c - '0');
  }
  return d;
}

// The integer digit path against the library over the whole range of
// doubles, and on exact ties at the fifteenth digit (to even: ...345|5 goes
// up, ...344|5 and ...342|5 stay), powers of ten and nines that carry.
TEST(FifteenSignificantDigits, EqualTheLibrarysExactRounding) {
  std::vector<double> values{1234567890123455.0,
                             1234567890123445.0,
                             12345678901234.25,
                             9.999999999999995,
                             999999999999999.5,
                             0.1,
                             5e-324,
                             1.7976931348623157e308};
  for (int p = -30; p <= 30; ++p) values.push_back(std::pow(10.0, p));
  std::mt19937_64 random(15);
  for (int i = 0; i < 200'000; ++i) {
    const std::uint64_t bits = random() >> 1;  // positive, any exponent
    double x;
    std::memcpy(&x, &bits, sizeof x);
    if (std::isfinite(x) && x > 0)
      values.push_back(i % 2 ? x : std::ldexp(x, -std::ilogb(x) + i % 120 - 40));
  }
  for (double x : values) {
    const SignificantDigits fast = FifteenSignificantDigits(x), library = LibraryDigits(x);
    ASSERT_EQ(fast.digits, library.digits) << std::hexfloat << x;
    ASSERT_EQ(fast.exponent, library.exponent) << std::hexfloat << x;
  }
}

struct ParseRow {
  const char* text;
  bool numeric;
  double value;
};

// clang-format off
const ParseRow kParseRows[] = {
    {"600,000", true, 600000}, {"1,5", true, 15}, {"740.", true, 740}, {"600,000.", true, 600000},
    {".5", true, 0.5}, {"1e3", true, 1000}, {"1.5E-05", true, 0.000015}, {"+5", true, 5},
    {"1e+3", true, 1000}, {"2.5E+2", true, 250},
    {"-70", true, -70}, {"  0.975  ", true, 0.975}, {"0.1", true, 0.1}, {"1e-400", true, 0.0},
    {"", false, 0}, {"   ", false, 0}, {"12a", false, 0}, {"abc", false, 0}, {"1.2.3", false, 0},
    {"+-1", false, 0}, {",5", false, 0}, {"1.5,0", false, 0}, {".", false, 0}, {"1e", false, 0},
    {"1 5", false, 0}, {"740 psia", false, 0}, {"1e999", false, 0}, {"0x10", false, 0},
    {"inf", false, 0},
};
// clang-format on

TEST(TextToNumber, AcceptsExactlyTheNumberGrammar) {
  for (const ParseRow& row : kParseRows) {
    EXPECT_EQ(TextToNumber(row.text, kUs), row.numeric ? std::optional(row.value) : std::nullopt)
        << '"' << row.text << '"';
  }
}

TEST(TextToNumber, ReadsContinentalSymbols) {
  EXPECT_EQ(TextToNumber("600.000", kContinental), 600000.0);
  EXPECT_EQ(TextToNumber("0,975", kContinental), 0.975);
  EXPECT_EQ(TextToNumber("740,", kContinental), 740.0);
  EXPECT_FALSE(TextToNumber("0,975,1", kContinental));
  EXPECT_EQ(TextToNumber("1\u00a0234,5", {",", "\u00a0"}), 1234.5);
}

// A typed blank between digits stands for the no-break space that a locale
// groups with; nowhere else is a blank part of a number.
TEST(TypedNumber, TakesABlankForTheNoBreakSpaceOnly) {
  const NumberSymbols blankGrouping{",", "\u00a0"};
  EXPECT_EQ(TypedNumber("1 234,5", blankGrouping), 1234.5);
  EXPECT_EQ(TypedNumber("  1 234 567  ", blankGrouping), 1234567.0);
  EXPECT_FALSE(TypedNumber("1 234,5", kContinental));
  EXPECT_FALSE(TypedNumber("1 ,5", blankGrouping));
  EXPECT_EQ(RewrittenInput("1 234,5", blankGrouping), "1\u00a0234,5");
}

TEST(ShortestText, ReadsBackToTheSameDouble) {
  for (double value : {0.1, 600000.0, 1e-7, 2284.7675257787773, -3.5, 1e22, 0.0}) {
    const std::string text = ShortestText(value);
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
  }
  EXPECT_EQ(ShortestText(600000), "600000");
  EXPECT_EQ(ShortestText(0.000001), "0.000001");
}

}  // namespace
