#include "numtext/numtext.h"

#include <locale.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// ---------------------------------------------------------------- parsing

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Walks a text by the number grammar and writes the plain C form of the
// number ("-123.45e-6") for the conversion.
class NumberScanner {
 public:
  NumberScanner(std::string_view text, const NumberSymbols& symbols)
      : text_(text), symbols_(symbols) {}

  bool Scan(std::string& plain) {
    SkipBlanks();
    if (!Take("+") && Take("-")) plain_ += '-';
    if (!Mantissa() || !Exponent()) return false;
    SkipBlanks();
    if (pos_ != text_.size()) return false;
    plain = std::move(plain_);
    return true;
  }

 private:
  bool Take(std::string_view symbol) {
    if (symbol.empty() || text_.substr(pos_, symbol.size()) != symbol) return false;
    pos_ += symbol.size();
    return true;
  }
  bool AtDigit() const { return pos_ < text_.size() && IsDigit(text_[pos_]); }
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  void Digits() {
    while (AtDigit()) plain_ += text_[pos_++];
  }

  // Digits, with grouping symbols anywhere after the first digit, then an
  // optional decimal symbol and digits; or the decimal symbol and digits.
  bool Mantissa() {
    if (AtDigit()) {
      for (;;) {
        Digits();
        if (Take(symbols_.decimal)) {
          plain_ += '.';
          Digits();
          return true;
        }
        if (!Take(symbols_.grouping)) return true;
      }
    }
    if (!Take(symbols_.decimal) || !AtDigit()) return false;
    plain_ += "0.";
    Digits();
    return true;
  }

  bool Exponent() {
    if (pos_ >= text_.size() || (text_[pos_] != 'e' && text_[pos_] != 'E')) return true;
    ++pos_;
    plain_ += 'e';
    if (Take("-")) {
      plain_ += '-';
    } else {
      Take("+");
    }
    if (!AtDigit()) return false;
    Digits();
    return true;
  }

  std::string_view text_;
  const NumberSymbols& symbols_;
  std::size_t pos_ = 0;
  std::string plain_;
};

// strtod in the "C" locale whatever the process locale is (a Qt program sets
// it from the environment): the decimal point of the plain form is always ".".
double PlainToDouble(const std::string& plain) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return strtod_l(plain.c_str(), nullptr, cLocale);
}

// ---------------------------------------------------------------- rendering

__extension__ typedef unsigned __int128 Wide;  // exact products of up to 127 bits

constexpr std::uint64_t kFifteenDigits = 100'000'000'000'000;  // 10^14: the least 15-digit number
constexpr int kLargestExactPower = 22;  // 10^22 < 2^74, times a 53-bit significand < 2^127

constexpr std::array<Wide, kLargestExactPower + 1> kPowersOfTen = [] {
  std::array<Wide, kLargestExactPower + 1> powers{};
  Wide p = 1;
  for (Wide& power : powers) {
    power = p;
    p *= 10;
  }
  return powers;
}();

Wide PowerOfTen(int n) {
  return kPowersOfTen[static_cast<std::size_t>(n)];
}

// The 15 digits through the library's exactly rounded conversion, for
// magnitudes outside the integer path's range.
SignificantDigits LibraryDigits(double magnitude) {
  char buffer[32];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14)
          .ptr;
  SignificantDigits d{0, 0};
  const char* p = buffer;
  for (; p < end && *p != 'e'; ++p) {
    if (IsDigit(*p)) d.digits = d.digits * 10 + static_cast<std::uint64_t>(*p - '0');
  }
  ++p;                 // past the 'e'
  if (*p == '+') ++p;  // from_chars reads no plus sign
  std::from_chars(p, end, d.exponent);
  return d;
}

// magnitude * 10^(14 - e10) as a quotient of integers A / B, exactly, where
// the integers fit in 127 bits: the significand with the power of ten on one
// side and the power of two on the side its sign puts it.
bool ScaledQuotient(std::uint64_t m, int e2, int e10, Wide& a, Wide& b) {
  const int k = 14 - e10;
  if (k > kLargestExactPower || k < -kLargestExactPower) return false;
  a = m;
  b = 1;
  (k >= 0 ? a : b) *= PowerOfTen(k >= 0 ? k : -k);
  Wide& shifted = e2 >= 0 ? a : b;
  const int shift = e2 >= 0 ? e2 : -e2;
  if (shift > 125 || (shifted >> (126 - shift)) != 0) return false;
  shifted <<= shift;
  return true;
}

}  // namespace

// The integer path: magnitude = m * 2^e2 exactly, scaled by a power of ten
// into [10^14, 10^15) with exact 128-bit integers and rounded half to even.
// The power is first guessed from the binary exponent (floor(e2 log10 2),
// as 78913 / 2^18 approximates log10 2) and corrected by one where the guess
// misses. Magnitudes whose quotient does not fit go to the library.
SignificantDigits FifteenSignificantDigits(double magnitude) {
  std::uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);
  if (biased == 0) return LibraryDigits(magnitude);  // subnormal
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int e2 = biased - 1075;
  int e10 = ((biased - 1023) * 78913) >> 18;
  for (int attempt = 0; attempt < 3; ++attempt) {
    Wide a, b;
    if (!ScaledQuotient(m, e2, e10, a, b)) break;
    auto q = static_cast<std::uint64_t>(a / b);
    const Wide rest = a % b;
    if (q < kFifteenDigits || q >= 10 * kFifteenDigits) {
      e10 += q < kFifteenDigits ? -1 : 1;
      continue;
    }
    if (rest > b - rest || (rest == b - rest && q % 2 != 0)) ++q;
    if (q == 10 * kFifteenDigits) return {kFifteenDigits, e10 + 1};
    return {q, e10};
  }
  return LibraryDigits(magnitude);
}

namespace {

// The digits of the magnitude rounded half away from zero to `decimals`
// places, as the integer magnitude * 10^decimals, written into `out` with
// leading zeros up to decimals + 1 digits; returns the count. The 15-digit
// form is rounded by adding 5 at the first digit dropped.
std::size_t RoundedDigits(double magnitude, int decimals, char* out) {
  std::uint64_t kept = 0;
  std::size_t zeros = 0;  // after `kept`
  if (magnitude != 0) {
    const SignificantDigits d = FifteenSignificantDigits(magnitude);
    const int keep = d.exponent + 1 + decimals;  // significant digits that survive
    if (keep >= 15) {
      kept = d.digits;
      zeros = static_cast<std::size_t>(keep - 15);
    } else if (keep >= 0) {
      const auto unit = static_cast<std::uint64_t>(PowerOfTen(15 - keep));
      kept = (d.digits + unit / 2) / unit;
    }
  }
  char text[24];
  const auto length =
      static_cast<std::size_t>(std::to_chars(text, text + sizeof text, kept).ptr - text);
  const std::size_t least = static_cast<std::size_t>(decimals) + 1;
  const std::size_t leading = length + zeros < least ? least - length - zeros : 0;
  std::fill(out, out + leading, '0');
  std::copy(text, text + length, out + leading);
  std::fill(out + leading + length, out + leading + length + zeros, '0');
  return leading + length + zeros;
}

void AppendGrouped(std::string& out, std::string_view integer, const std::string& separator) {
  for (std::size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0) out += separator;
    out += integer[i];
  }
}

}  // namespace

std::optional<double> TextToNumber(std::string_view text, const NumberSymbols& symbols) {
  std::string plain;
  if (!NumberScanner(text, symbols).Scan(plain)) return std::nullopt;
  const double value = PlainToDouble(plain);
  if (std::isinf(value)) return std::nullopt;  // beyond the range of a double
  return value;
}

bool IsNumericText(std::string_view text, const NumberSymbols& symbols) {
  return TextToNumber(text, symbols).has_value();
}

std::string FormatByPattern(double value, const DisplayPattern& p, const NumberSymbols& symbols) {
  if (!std::isfinite(value)) return {};
  // At most 309 integer digits and the pattern's decimals.
  char digits[340];
  const std::size_t count = RoundedDigits(std::fabs(value), p.maxDecimals, digits);
  const std::string_view all(digits, count);
  const std::size_t split = count - static_cast<std::size_t>(p.maxDecimals);
  std::string_view integer = all.substr(0, split), fraction = all.substr(split);
  const std::size_t firstNonZero = integer.find_first_not_of('0');
  integer = firstNonZero == std::string_view::npos ? "0" : integer.substr(firstNonZero);
  const bool isZero = all.find_first_not_of('0') == std::string_view::npos;
  while (fraction.size() > static_cast<std::size_t>(p.minDecimals) && fraction.back() == '0') {
    fraction.remove_suffix(1);
  }
  std::string out;
  out.reserve(integer.size() + integer.size() / 3 * symbols.grouping.size() + fraction.size() + 4);
  if (value < 0 && !isZero) out += '-';
  if (p.grouping) {
    AppendGrouped(out, integer, symbols.grouping);
  } else {
    out += integer;
  }
  if (p.hasPoint) {
    out += symbols.decimal;
    out += fraction;
  }
  return out;
}

std::string FallbackGrouping(std::string_view decimal) {
  return decimal == "," ? "." : ",";
}

namespace {

constexpr std::string_view kNoBreakSpace = "\xC2\xA0";  // U+00A0 in UTF-8

// Blanks between two digits turned into no-break spaces.
std::string WithTypedGrouping(std::string_view typed) {
  std::string text;
  for (std::size_t i = 0; i < typed.size();) {
    std::size_t end = i;
    while (end < typed.size() && typed[end] == ' ') ++end;
    const bool between =
        end > i && i > 0 && IsDigit(typed[i - 1]) && end < typed.size() && IsDigit(typed[end]);
    for (std::size_t b = i; b < end; ++b) text += between ? kNoBreakSpace : " ";
    if (end < typed.size()) text += typed[end];
    i = end + 1;
  }
  return text;
}

}  // namespace

std::optional<double> TypedNumber(std::string_view typed, const NumberSymbols& symbols) {
  if (symbols.grouping != kNoBreakSpace) return TextToNumber(typed, symbols);
  return TextToNumber(WithTypedGrouping(typed), symbols);
}

bool HasMisplacedGrouping(std::string_view text, const NumberSymbols& symbols) {
  if (symbols.grouping.empty()) return false;
  const std::size_t first = text.find_first_of("0123456789");
  if (first == std::string_view::npos) return false;
  std::string_view digits = text.substr(first);
  digits = digits.substr(0, std::min(digits.find(symbols.decimal), digits.find_first_of("eE \t")));
  std::size_t groups = 0;
  for (std::size_t at = 0;; ++groups) {
    const std::size_t next = digits.find(symbols.grouping, at);
    const std::size_t length = std::min(next, digits.size()) - at;
    if ((groups == 0 && (length == 0 || length > 3)) || (groups > 0 && length != 3)) {
      return next != std::string_view::npos || groups > 0;
    }
    if (next == std::string_view::npos) return false;
    at = next + symbols.grouping.size();
  }
}

std::optional<std::string> RewrittenInput(std::string_view typed, const NumberSymbols& symbols) {
  const std::optional<double> value = TypedNumber(typed, symbols);
  if (!value) return std::nullopt;
  return FormatByPattern(*value, kInputPattern, symbols);
}

std::string ShortestText(double value, const NumberSymbols& symbols) {
  const double magnitude = std::fabs(value);
  const bool plain = magnitude == 0 || (magnitude >= 1e-6 && magnitude < 1e21);
  char buffer[400];
  const auto result =
      plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
            : std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, result.ptr);
  const auto point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, symbols.decimal);
  return text;
}
