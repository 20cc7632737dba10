// The pipe roughness for which the calculation's rough-pipe law gives a
// friction factor the user has from elsewhere (a handbook, a test, another
// method), so that a run can be matched to a given f.
#pragma once

enum class FrictionFactorKind { Darcy, Fanning };

struct RoughnessForFriction {
  double roughnessFt;  // e, at full precision
  double darcy;        // the Darcy f asked for
  double achieved;     // FrictionFactor(RoughnessLog(e, Dft)), as the calculation computes it
  int ulps;            // units in the last place between achieved and darcy
};

// As e grows one unit in its last place at a time, the calculation's friction
// factor (a log, a square and a quotient) stays or jumps by one to four units, so an
// arbitrary f is met as nearly as those steps allow. Measured over 100,000
// generated f from 0.001 to 0.1 and D from 0.1 to 100 in.: within this many
// units in the last place, to the last bit for 46 % of them (within 12 for f
// up to 10, where the law flattens).
inline constexpr int kMostFrictionUlps = 3;

// e for a Darcy friction factor f (Fanning: f = 4 * Fanning) in a pipe of
// D inches. The law 1/sqrt(f) = -2 log10(e / (3.7 D)) inverted in closed form,
// q = -0.5 / sqrt(f) (the negative root, since e < 3.7 D), e = 10^q * Dft *
// 3.7, undoing RoughnessLog's steps in reverse order. The calculation's own
// friction factor then checks e, and e moves by whole units in its last
// place, up to 256 either way, to the one whose f comes nearest (see
// kMostFrictionUlps). Throws InputError for f not above 0 or not finite, for
// an f that needs a roughness at or above 3.7 diameters or below the smallest
// normal double, and for D not above 0.
RoughnessForFriction RoughnessFor(double f, FrictionFactorKind kind, double dIn);
