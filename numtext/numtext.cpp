#include "numtext/numtext.h"

#include <locale.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
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

struct Pattern {
  int minDecimals = 0;
  int maxDecimals = 0;
  bool hasPoint = false;
  bool grouping = false;
};

Pattern ParsePattern(std::string_view pattern) {
  Pattern p;
  const auto point = pattern.find('.');
  const auto integerPart = pattern.substr(0, point);
  p.grouping = integerPart.find(',') != std::string_view::npos;
  if (point == std::string_view::npos) return p;
  p.hasPoint = true;
  for (char c : pattern.substr(point + 1)) {
    if (c == '0') ++p.minDecimals;
    if (c == '0' || c == '#') ++p.maxDecimals;
  }
  return p;
}

// A magnitude as decimal digits with the position of the decimal point:
// value = 0.digits * 10^pointPos.
struct Decimal {
  std::string digits;
  int pointPos = 0;
};

// The value's 15-significant-digit decimal form (exactly rounded).
Decimal FifteenDigits(double magnitude) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const auto e = text.find('e');
  Decimal d;
  for (char c : text.substr(0, e)) {
    if (IsDigit(c)) d.digits += c;
  }
  d.pointPos = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
  return d;
}

// Rounds half away from zero to `decimals` places; returns the digits of the
// rounded integer part and fraction (fraction exactly `decimals` long).
void RoundDecimal(const Decimal& d, int decimals, std::string& integer, std::string& fraction) {
  const int keep = d.pointPos + decimals;  // significant digits that survive
  std::string kept;
  if (keep >= 0) {
    const auto keepSize = static_cast<std::size_t>(keep);
    kept = d.digits.substr(0, keepSize);
    kept.resize(keepSize, '0');
    if (keepSize < d.digits.size() && d.digits[keepSize] >= '5') {
      int i = keep - 1;
      for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i) {
        kept[static_cast<std::size_t>(i)] = '0';
      }
      if (i >= 0) {
        ++kept[static_cast<std::size_t>(i)];
      } else {
        kept.insert(kept.begin(), '1');
      }
    }
  }
  // `kept` now holds the value times 10^decimals as an integer.
  if (kept.size() < static_cast<std::size_t>(decimals) + 1) {
    kept.insert(0, static_cast<std::size_t>(decimals) + 1 - kept.size(), '0');
  }
  const std::size_t split = kept.size() - static_cast<std::size_t>(decimals);
  integer = kept.substr(0, split);
  fraction = kept.substr(split);
  const auto firstNonZero = integer.find_first_not_of('0');
  integer = firstNonZero == std::string::npos ? "0" : integer.substr(firstNonZero);
}

std::string Grouped(const std::string& integer, const std::string& separator) {
  std::string out;
  for (std::size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0) out += separator;
    out += integer[i];
  }
  return out;
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

std::string FormatByPattern(double value, std::string_view pattern, const NumberSymbols& symbols) {
  if (!std::isfinite(value)) return {};
  const Pattern p = ParsePattern(pattern);
  std::string integer, fraction;
  RoundDecimal(FifteenDigits(std::fabs(value)), p.maxDecimals, integer, fraction);

  const bool isZero = integer == "0" && fraction.find_first_not_of('0') == std::string::npos;
  while (fraction.size() > static_cast<std::size_t>(p.minDecimals) && fraction.back() == '0') {
    fraction.pop_back();
  }
  std::string out = (value < 0 && !isZero) ? "-" : "";
  out += p.grouping ? Grouped(integer, symbols.grouping) : integer;
  if (p.hasPoint) out += symbols.decimal + fraction;
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
