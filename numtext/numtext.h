// Number rules shared by every part of the program: the one numeric test of a
// text, the one conversion of a text to a double, and the one rendering of a
// double by a display pattern. The separators are passed in explicitly, so the
// rules never depend on hidden process state (the C locale included).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct NumberSymbols {
  std::string decimal = ".";
  std::string grouping = ",";
};

// The grouping symbol to use where none is given, or the one given is the
// decimal symbol: the other of "." and ",", so that no text reads two ways.
std::string FallbackGrouping(std::string_view decimal);

// A display pattern read once: the least and greatest number of decimals
// ("0" and "#" after the point), whether it has a point, and whether its
// integer part is grouped (a "," before the point).
struct DisplayPattern {
  int minDecimals = 0;
  int maxDecimals = 0;
  bool hasPoint = false;
  bool grouping = false;

  constexpr bool operator==(const DisplayPattern& o) const {
    return minDecimals == o.minDecimals && maxDecimals == o.maxDecimals && hasPoint == o.hasPoint &&
           grouping == o.grouping;
  }
};

constexpr DisplayPattern ReadDisplayPattern(std::string_view pattern) {
  DisplayPattern p;
  const auto point = pattern.find('.');
  p.grouping = pattern.substr(0, point).find(',') != std::string_view::npos;
  if (point == std::string_view::npos) return p;
  p.hasPoint = true;
  for (char c : pattern.substr(point + 1)) {
    if (c == '0') ++p.minDecimals;
    if (c == '0' || c == '#') ++p.maxDecimals;
  }
  return p;
}

// The four display patterns of the program, read at compile time.
inline constexpr DisplayPattern kInputPattern = ReadDisplayPattern("###,###,##0.######");
inline constexpr DisplayPattern kResultPattern6 = ReadDisplayPattern("##,##0.0#####");
inline constexpr DisplayPattern kResultPattern2 = ReadDisplayPattern("##,##0.0#");
inline constexpr DisplayPattern kWholePattern = ReadDisplayPattern("##,##0");

// True when the text is, in order: optional blanks, an optional sign, a mantissa
// (digits with grouping symbols anywhere after the first digit, optionally the
// decimal symbol and more digits; or the decimal symbol and at least one digit),
// an optional exponent (E or e, optional sign, digits) and optional blanks.
// A text whose value overflows a double is not numeric.
bool IsNumericText(std::string_view text, const NumberSymbols& symbols = {});

// The double nearest to the decimal number written; no value where
// IsNumericText rejects the text.
std::optional<double> TextToNumber(std::string_view text, const NumberSymbols& symbols = {});

// The number a user means by a typed text, read as the window reads a box.
// Where the symbols group with a no-break space, blanks between two digits
// count as grouping symbols: the two look alike and only the blank is on the
// keyboard ("1 234,5"). Blanks before or after the number are ignored as
// TextToNumber ignores them.
std::optional<double> TypedNumber(std::string_view typed, const NumberSymbols& symbols);

// Whether the text, read with these symbols, has a grouping symbol where no
// group of thousands can stand: not between groups of three digits after a
// first group of one to three ("1,234" is grouped; "18,02" and "1234,5" are
// not, with "," as the grouping symbol). The number grammar accepts such a
// text, so it reads, but likely not as its writer meant.
bool HasMisplacedGrouping(std::string_view text, const NumberSymbols& symbols);

// The text the window leaves in an input box after the user typed `typed`:
// the number rewritten in the input pattern ("600000" -> "600,000", six
// decimals at most); nothing where the window refuses the entry.
std::optional<std::string> RewrittenInput(std::string_view typed, const NumberSymbols& symbols);

// Renders a finite value by one of the four display patterns: the value's
// 15-significant-digit decimal form, rounded half away from zero to the
// pattern's greatest number of decimals, trailing zeros dropped down to its
// least number, the integer part grouped in threes. A negative value that
// rounds to zero is written without its sign. Non-finite values have no
// rendering in the patterns and come back as an empty text.
std::string FormatByPattern(double value, const DisplayPattern& pattern,
                            const NumberSymbols& symbols = {});

// The shortest text that reads back to the same double, with the decimal
// symbol of `symbols` ("." by default) and no grouping: "0.1", "600000",
// "1e-07". Plain digits from 1e-6 up to 1e21, an exponent outside, so that a
// value computed from other units keeps every bit when it is written into a
// run and read back with TextToNumber.
std::string ShortestText(double value, const NumberSymbols& symbols = {});

// A positive finite value's 15-significant-digit decimal form, exactly
// rounded (ties to even) as printf's "%.14e" gives it: value ~ digits *
// 10^(exponent - 14), digits in [10^14, 10^15).
struct SignificantDigits {
  std::uint64_t digits;
  int exponent;
};
SignificantDigits FifteenSignificantDigits(double magnitude);
