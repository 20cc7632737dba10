// The gas table: molecular weight and ideal-gas k = Cp/Cv at 60 F.
//
// Molecular weights are formula sums of the IUPAC 2005 standard atomic
// weights (M. E. Wieser, "Atomic weights of the elements 2005", Pure Appl.
// Chem. 78 (2006) 2051-2066: H 1.00794, He 4.002602, C 12.0107, N 14.0067,
// O 15.9994, Ne 20.1797, S 32.065, Cl 35.453, Ar 39.948), rounded to four
// decimals; the same basis as GPA Standard 2145.
//
// k is derived, not read from a table: k = cp / (cp - 1) with cp = Cp/R of the
// ideal gas at 60 F (288.706 K) from the NASA 7-coefficient polynomials of
// B. J. McBride, S. Gordon and M. A. Reno, "Coefficients for Calculating
// Thermodynamic and Transport Properties of Individual Species", NASA
// TM-4513 (1993), low-temperature range, rounded to four decimals. Where that
// range starts at 300 K the polynomial is used 11 K below it (said per row).
#include "engineering/gases.h"

namespace {

constexpr char kPolynomial[] =
    "MW: IUPAC 2005 atomic weights; k: from ideal-gas Cp at 60 F, NASA TM-4513 (1993), derived";
constexpr char kPolynomialBelow300K[] =
    "MW: IUPAC 2005 atomic weights; k: from ideal-gas Cp at 60 F, NASA TM-4513 (1993), "
    "its 300 K polynomial used 11 K below its range, derived";
constexpr char kMonatomic[] =
    "MW: IUPAC 2005 atomic weight; k: 5/3, monatomic ideal gas (Cp = 5/2 R; NASA TM-4513 the "
    "same)";

constexpr std::array<GasData, kGasCount> kGases{{
    {"air", "", "", "Air", 28.9644, 1.4002,
     "MW: U.S. Standard Atmosphere 1976, sea level; k: from ideal-gas Cp at 60 F of its N2, "
     "O2, Ar and CO2 (mole fractions 0.78084, 0.209476, 0.00934, 0.000314), NASA TM-4513 "
     "(1993), derived"},
    {"nitrogen", "", "N2", "Nitrogen", 28.0134, 1.3996, kPolynomial},
    {"oxygen", "", "O2", "Oxygen", 31.9988, 1.3956, kPolynomial},
    {"hydrogen", "", "H2", "Hydrogen", 2.0159, 1.4067, kPolynomial},
    {"helium", "", "He", "Helium", 4.0026, 1.6667, kMonatomic},
    {"neon", "", "Ne", "Neon", 20.1797, 1.6667, kMonatomic},
    {"argon", "", "Ar", "Argon", 39.948, 1.6667, kMonatomic},
    {"carbon-dioxide", "", "CO2", "Carbon Dioxide", 44.0095, 1.2928, kPolynomial},
    {"carbon-monoxide", "", "CO", "Carbon Monoxide", 28.0101, 1.3994, kPolynomial},
    {"methane", "", "CH4", "Methane", 16.0425, 1.3075, kPolynomial},
    {"ethane", "", "C2H6", "Ethane", 30.069, 1.193, kPolynomial},
    {"propane", "", "C3H8", "Propane", 44.0956, 1.131, kPolynomial},
    {"n-butane", "butane", "n-C4H10", "n-Butane", 58.1222, 1.0945, kPolynomial},
    {"isobutane", "i-butane", "i-C4H10", "Isobutane", 58.1222, 1.0969, kPolynomial},
    {"ethylene", "ethene", "C2H4", "Ethylene", 28.0532, 1.2465, kPolynomial},
    {"propylene", "propene", "C3H6", "Propylene", 42.0797, 1.1521, kPolynomial},
    {"acetylene", "ethyne", "C2H2", "Acetylene", 26.0373, 1.2376, kPolynomial},
    {"ammonia", "", "NH3", "Ammonia", 17.0305, 1.307, kPolynomial},
    {"hydrogen-sulphide", "hydrogen-sulfide", "H2S", "Hydrogen Sulphide", 34.0809, 1.3228,
     kPolynomialBelow300K},
    {"hydrogen-chloride", "", "HCl", "Hydrogen Chloride", 36.4609, 1.3992, kPolynomialBelow300K},
    {"chlorine", "", "Cl2", "Chlorine", 70.906, 1.3265, kPolynomial},
    {"sulphur-dioxide", "sulfur-dioxide", "SO2", "Sulphur Dioxide", 64.0638, 1.2666,
     kPolynomialBelow300K},
    {"nitric-oxide", "", "NO", "Nitric Oxide", 30.0061, 1.3855, kPolynomial},
    {"nitrous-oxide", "", "N2O", "Nitrous Oxide", 44.0128, 1.2782, kPolynomial},
    {"steam", "water", "H2O", "Steam", 18.0153, 1.3296,
     "MW: IUPAC 2005 atomic weights; k: from ideal-gas Cp at 60 F, NASA TM-4513 (1993), derived; "
     "the low-pressure limit: real superheated steam near saturation has a lower k"},
    {"natural-gas", "", "", "Natural Gas", 19.5, 1.27,
     "Crane Technical Paper No. 410, Appendix A, physical properties of gases: representative "
     "values, approximate at 68 F; a known composition is better given as a mixture"},
}};

}  // namespace

const std::array<GasData, kGasCount>& GasTable() {
  return kGases;
}
