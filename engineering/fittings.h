// Fittings and entrance/exit losses as equivalent pipe length. A fitting of
// resistance coefficient K loses as much as K * D / f of straight pipe whose
// Darcy friction factor is f; the run's total equivalent length (the length
// the calculation takes) is the straight length plus that of its fittings.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

// One fitting of the table (fitting_data.cpp): K = k + kPerF * f, where f is
// the friction factor of the run's own pipe. Valves, elbows and tees carry
// their K as a multiple of the fully turbulent friction factor (K = (L/D) f),
// entrances and the exit a fixed K.
struct FittingData {
  std::string_view key;   // "elbow-90"
  std::string_view name;  // "90-degree standard elbow"
  double k;
  double kPerF;
  std::string_view source;
};

inline constexpr std::size_t kFittingCount = 13;

const std::array<FittingData, kFittingCount>& FittingTable();

// A fitting by its key, in any letter case; nullptr if unknown.
const FittingData* FindFitting(std::string_view key);

struct FittingUse {
  const FittingData* fitting;
  int count;
};

// "K[,K...]": resistance coefficients, "." as decimal sign. Throws
// InputError for a text that is not a number and for a negative K.
std::vector<double> ParseKValues(std::string_view text);

// "NAME[xN][,NAME[xN]...]": fittings of the table, N of each (default 1):
// "elbow-90x2,gate-valve". Throws InputError for an unknown fitting or a
// count that is not a whole number from 1 to kMostFittings.
std::vector<FittingUse> ParseFittings(std::string_view text);

inline constexpr int kMostFittings = 10000;

struct EquivalentLength {
  double straightFt;      // the straight length given
  double totalFt;         // straight plus fittings: the run's length
  double frictionFactor;  // f of the run's pipe, as the calculation computes it
  double kSum;            // the K of every fitting and coefficient, added
};

// L_total = L + (sum K) * Dft / f, with f = FrictionFactor(RoughnessLog(e,
// Dft)) of the calculation: L and e in ft, D in inches. The product
// (sum K) * Dft is formed first. Throws InputError where the pipe has no
// friction factor (D or e not above zero, e equal to 3.7 diameters) or L is
// negative.
EquivalentLength AddFittings(double straightFt, double dIn, double eFt,
                             const std::vector<double>& kValues,
                             const std::vector<FittingUse>& fittings);
