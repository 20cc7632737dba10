#include "numtext/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

namespace {

const NumberSymbols kUs{".", ","};
const NumberSymbols kContinental{",", "."};

struct FormatRow {
  const char* name;
  double value;
  std::string_view pattern;
  const char* text;
};
void PrintTo(const FormatRow& row, std::ostream* out) {
  *out << row.name;
}

class FormatByPatternTable : public testing::TestWithParam<FormatRow> {};

TEST_P(FormatByPatternTable, RendersAsPublished) {
  const FormatRow& row = GetParam();
  EXPECT_EQ(FormatByPattern(row.value, row.pattern, kUs), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Published, FormatByPatternTable,
    testing::Values(
        FormatRow{"InputWhole", 740, kInputPattern, "740."},
        FormatRow{"InputGrouped", 600000, kInputPattern, "600,000."},
        FormatRow{"InputFraction", 0.975, kInputPattern, "0.975"},
        FormatRow{"InputSixPointZero", 6.0, kInputPattern, "6."},
        FormatRow{"InputSmall", 0.00015, kInputPattern, "0.00015"},
        FormatRow{"InputSevenDecimals", 1234567.1234567, kInputPattern, "1,234,567.123457"},
        FormatRow{"InputElevenDigits", 12345678901.5, kInputPattern, "12,345,678,901.5"},
        FormatRow{"InputNegative", -12.5, kInputPattern, "-12.5"},
        FormatRow{"InputHalfMillionthRoundsUp", 0.0000005, kInputPattern, "0.000001"},
        FormatRow{"InputBelowHalfMillionth", 0.0000004, kInputPattern, "0."},
        FormatRow{"SixWhole", 740, kResultPattern6, "740.0"},
        FormatRow{"SixInletMach", 0.4208202176280419, kResultPattern6, "0.42082"},
        FormatRow{"SixDensity", 0.8823236452529015, kResultPattern6, "0.882324"},
        FormatRow{"SixVelocity", 961.4763674277079, kResultPattern6, "961.476367"},
        FormatRow{"SixSonic", 2284.7675257787773, kResultPattern6, "2,284.767526"},
        FormatRow{"SixFriction", 0.014937020080283766, kResultPattern6, "0.014937"},
        FormatRow{"SixThree", 3, kResultPattern6, "3.0"},
        FormatRow{"SixTiny", 0.0000004, kResultPattern6, "0.0"},
        FormatRow{"SixTenMillionth", 0.0000001, kResultPattern6, "0.0"},
        FormatRow{"TwoWhole", 57, kResultPattern2, "57.0"},
        FormatRow{"TwoTemperature", 872.20703547522, kResultPattern2, "872.21"},
        FormatRow{"TwoSonic", 2193.004376313973, kResultPattern2, "2,193.0"},
        FormatRow{"TwoLength", 71.10254155327355, kResultPattern2, "71.1"},
        FormatRow{"TwoMaxFlow", 602877.2999314377, kResultPattern2, "602,877.3"},
        FormatRow{"TwoCarry", 1234.999, kResultPattern2, "1,235.0"},
        FormatRow{"TwoNegative", -3.14159, kResultPattern2, "-3.14"},
        FormatRow{"TwoHalfAwayAfterFifteenDigits", 2.675, kResultPattern2, "2.68"},
        FormatRow{"TwoLargeLength", 12345.678, kResultPattern2, "12,345.68"},
        FormatRow{"WholeRounded", 1445.67, kWholePattern, "1,446"},
        FormatRow{"WholeHalf", 2.5, kWholePattern, "3"},
        FormatRow{"WholeBelowHalf", 0.4, kWholePattern, "0"},
        FormatRow{"WholeFlow", 600000, kWholePattern, "600,000"},
        FormatRow{"FifteenDigitsFirst", 0.30000000000000004, kResultPattern6, "0.3"},
        FormatRow{"NegativeRoundingToZeroHasNoSign", -0.0000001, kResultPattern6, "0.0"},
        FormatRow{"NegativeZero", -0.0, kWholePattern, "0"},
        FormatRow{"HugeValue", 1e20, kResultPattern2, "100,000,000,000,000,000,000.0"}),
    [](const testing::TestParamInfo<FormatRow>& info) { return info.param.name; });

TEST(FormatByPattern, UsesTheGivenSymbolsAndRefusesNonFiniteValues) {
  EXPECT_EQ(FormatByPattern(2284.7675257787773, kResultPattern6, kContinental), "2.284,767526");
  EXPECT_EQ(FormatByPattern(600000, kInputPattern, kContinental), "600.000,");
  EXPECT_EQ(FormatByPattern(1234567.5, kResultPattern2, {",", "\u00a0"}), "1\u00a0234\u00a0567,5");
  EXPECT_EQ(FormatByPattern(std::numeric_limits<double>::quiet_NaN(), kResultPattern6), "");
  EXPECT_EQ(FormatByPattern(std::numeric_limits<double>::infinity(), kResultPattern6), "");
}

struct ParseRow {
  const char* name;
  const char* text;
  bool numeric;
  double value;
};
void PrintTo(const ParseRow& row, std::ostream* out) {
  *out << row.name;
}

class TextToNumberTable : public testing::TestWithParam<ParseRow> {};

TEST_P(TextToNumberTable, AcceptsExactlyTheNumberGrammar) {
  const ParseRow& row = GetParam();
  EXPECT_EQ(IsNumericText(row.text, kUs), row.numeric);
  const auto value = TextToNumber(row.text, kUs);
  ASSERT_EQ(value.has_value(), row.numeric);
  if (row.numeric) {
    EXPECT_EQ(*value, row.value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, TextToNumberTable,
    testing::Values(
        ParseRow{"GroupedDefaultFlow", "600,000", true, 600000},
        ParseRow{"GroupingAnywhereAfterFirstDigit", "1,5", true, 15},
        ParseRow{"TrailingDecimal", "740.", true, 740},
        ParseRow{"RewrittenInput", "600,000.", true, 600000},
        ParseRow{"LeadingDecimal", ".5", true, 0.5}, ParseRow{"Exponent", "1e3", true, 1000},
        ParseRow{"SignedExponent", "1.5E-05", true, 0.000015}, ParseRow{"PlusSign", "+5", true, 5},
        ParseRow{"Negative", "-70", true, -70}, ParseRow{"Blanks", "  0.975  ", true, 0.975},
        ParseRow{"NearestDouble", "0.1", true, 0.1}, ParseRow{"Underflow", "1e-400", true, 0.0},
        ParseRow{"Empty", "", false, 0}, ParseRow{"BlanksOnly", "   ", false, 0},
        ParseRow{"TrailingLetter", "12a", false, 0}, ParseRow{"Word", "abc", false, 0},
        ParseRow{"TwoDecimals", "1.2.3", false, 0}, ParseRow{"TwoSigns", "+-1", false, 0},
        ParseRow{"LeadingGrouping", ",5", false, 0},
        ParseRow{"GroupingInFraction", "1.5,0", false, 0}, ParseRow{"LoneDecimal", ".", false, 0},
        ParseRow{"ExponentWithoutDigits", "1e", false, 0}, ParseRow{"BlankInside", "1 5", false, 0},
        ParseRow{"Unit", "740 psia", false, 0}, ParseRow{"Overflow", "1e999", false, 0},
        ParseRow{"Hexadecimal", "0x10", false, 0}, ParseRow{"Infinity", "inf", false, 0}),
    [](const testing::TestParamInfo<ParseRow>& info) { return info.param.name; });

TEST(TextToNumber, ReadsContinentalSymbols) {
  EXPECT_EQ(TextToNumber("600.000", kContinental), 600000.0);
  EXPECT_EQ(TextToNumber("0,975", kContinental), 0.975);
  EXPECT_EQ(TextToNumber("740,", kContinental), 740.0);
  EXPECT_FALSE(TextToNumber("0,975,1", kContinental));
  EXPECT_EQ(TextToNumber("1\u00a0234,5", {",", "\u00a0"}), 1234.5);
}

TEST(NumberRules, RenderedInputsReadBackToTheirRoundedValue) {
  for (const NumberSymbols& symbols : {kUs, kContinental}) {
    for (double v : {740.0, 600000.0, 0.00015, -12.5, 1234567.1234567, 0.0000005, 3e15}) {
      const std::string text = FormatByPattern(v, kInputPattern, symbols);
      const auto back = TextToNumber(text, symbols);
      ASSERT_TRUE(back) << text;
      EXPECT_EQ(FormatByPattern(*back, kInputPattern, symbols), text);
      EXPECT_NEAR(*back, v, 5e-7 * std::max(1.0, std::fabs(v) * 1e-9));
    }
  }
}

}  // namespace
