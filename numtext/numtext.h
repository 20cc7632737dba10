// Number rules shared by every part of the program: the one numeric test of a
// text, the one conversion of a text to a double, and the one rendering of a
// double by a display pattern. The separators are passed in explicitly, so the
// rules never depend on hidden process state (the C locale included).
#pragma once

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

// The four display patterns of the program.
inline constexpr std::string_view kInputPattern = "###,###,##0.######";
inline constexpr std::string_view kResultPattern6 = "##,##0.0#####";
inline constexpr std::string_view kResultPattern2 = "##,##0.0#";
inline constexpr std::string_view kWholePattern = "##,##0";

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
std::string FormatByPattern(double value, std::string_view pattern,
                            const NumberSymbols& symbols = {});

// The shortest text that reads back to the same double, with the decimal
// symbol of `symbols` ("." by default) and no grouping: "0.1", "600000",
// "1e-07". Plain digits from 1e-6 up to 1e21, an exponent outside, so that a
// value computed from other units keeps every bit when it is written into a
// run and read back with TextToNumber.
std::string ShortestText(double value, const NumberSymbols& symbols = {});
