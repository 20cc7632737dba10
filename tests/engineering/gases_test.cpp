#include "engineering/gases.h"

#include <gtest/gtest.h>

#include "tests/engineering/message_of.h"

namespace {

// Molecular weights of GPA Standard 2145-09 at its four decimals; ideal-gas k
// at 40 F and 100 F of K. Wark, Thermodynamics, 4th ed. (1983), as tabulated
// in Moran and Shapiro, Table A-20E: the table's k at 60 F lies between them,
// within their rounding.
TEST(GasTable, AgreesWithPublishedValues) {
  for (const auto& [name, mw] : {std::pair{"methane", 16.0425},
                                 {"propane", 44.0956},
                                 {"nitrogen", 28.0134},
                                 {"H2S", 34.0809},
                                 {"steam", 18.0153}}) {
    EXPECT_NEAR(FindGas(name)->mw, mw, 0.00005) << name;
  }
  const std::tuple<const char*, double, double> k[] = {{"air", 1.401, 1.400}, {"N2", 1.400, 1.399},
                                                       {"O2", 1.397, 1.394},  {"CO2", 1.300, 1.283},
                                                       {"CO", 1.400, 1.399},  {"H2", 1.409, 1.404}};
  for (const auto& [name, at40, at100] : k) {
    EXPECT_LE(FindGas(name)->k, at40 + 0.0005) << name;
    EXPECT_GE(FindGas(name)->k, at100 - 0.0005) << name;
  }
}

TEST(GasTable, EveryNameFindsItsOwnRow) {
  for (const GasData& gas : GasTable()) {
    for (std::string_view name : {gas.key, gas.alias, gas.formula}) {
      EXPECT_TRUE(name.empty() || FindGas(name) == &gas) << name;
    }
  }
  EXPECT_EQ(FindGas(" Carbon_Dioxide "), FindGas("co2"));
}

TEST(GasMixture, WeighsMolecularWeightAndMolarHeatCapacity) {
  const GasChoice natural = ParseGas("methane:0.9, ethane:0.07, nitrogen:0.03");
  EXPECT_EQ(natural.text, "CH4 90%, C2H6 7%, N2 3%");
  EXPECT_NEAR(natural.mw, 0.9 * 16.0425 + 0.07 * 30.069 + 0.03 * 28.0134, 1e-12);
  // Helium and argon share cp = 5/2 R: any mixture of them keeps k = 5/3.
  EXPECT_NEAR(ParseGas("helium:0.25,Ar:0.75").k, FindGas("argon")->k, 1e-12);
  // Air from its main constituents in the U.S. Standard Atmosphere 1976.
  const std::vector<GasComponent> air{{FindGas("N2"), 0.78084},
                                      {FindGas("O2"), 0.209476},
                                      {FindGas("Ar"), 0.00934},
                                      {FindGas("CO2"), 0.000314}};
  EXPECT_NEAR(MixtureK(air), FindGas("air")->k, 0.0001);
  EXPECT_NEAR(MixtureMolecularWeight(air), FindGas("air")->mw, 0.005);
}

TEST(GasMixture, RefusesWithMessages) {
  const std::pair<const char*, const char*> rows[] = {
      {"xenon", "unknown gas \"xenon\""},
      {"methane,ethane", "\"methane\": give each gas of a mixture as NAME:FRACTION"},
      {"methane:0.5,ethane:half", "\"half\" is not a mole fraction (of ethane)"},
      {"methane:1.5", "the mole fraction of methane must be above 0 and at most 1, not 1.5"},
      {"methane:0.5,CH4:0.5", "methane is given twice"},
      {"methane:0.9,ethane:0.09", "the mole fractions sum to 0.99, not 1 (within 0.000001)"},
      {"methane:0.9,ethane:0.0999995", "(no error)"},
  };
  for (const auto& [named, message] : rows) EXPECT_EQ(MessageOf([&] { ParseGas(named); }), message);
}

}  // namespace
