// A double's bits as an integer, for the exact step arithmetic of the
// searches: neighbours by one unit of the bit pattern, and a positive normal
// value split into its integer significand and binary scale. Unlike
// nextafter, frexp and ldexp these are a few integer instructions, inlined.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

inline std::uint64_t BitsOf(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

inline double FromBits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// The next double towards +infinity (nextafter(x, INFINITY)) for finite x; an
// infinity or a NaN comes back as it is. Doubles of one sign are ordered like
// their bit patterns, so the neighbour is one unit of the pattern away.
inline double NextUp(double x) {
  if (!std::isfinite(x)) return x;
  if (x == 0) return FromBits(1);  // the least subnormal, from either zero
  return FromBits(x > 0 ? BitsOf(x) + 1 : BitsOf(x) - 1);
}

// The next double towards -infinity, as NextUp mirrored.
inline double NextDown(double x) {
  return -NextUp(-x);
}

// A positive normal double as j * 2^scale, j in [2^52, 2^53).
struct Significand {
  std::uint64_t j;
  int scale;
};

inline constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << 52;

inline Significand SplitNormal(double x) {
  const std::uint64_t bits = BitsOf(x);
  const int biased = static_cast<int>(bits >> 52);
  return {(bits & (kHiddenBit - 1)) | kHiddenBit, biased - 1075};
}

// The inverse of SplitNormal, for j in [2^52, 2^53]: j = 2^53 carries into the
// exponent field and gives the first double of the next binade.
inline double JoinNormal(Significand s) {
  const auto biased = static_cast<std::uint64_t>(s.scale + 1075);
  return FromBits((biased << 52) + (s.j - kHiddenBit));
}
