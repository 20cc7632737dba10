// The static state at a pipe's entrance fed from a vessel (a header): the gas
// at rest in the vessel at the stagnation pressure P0 and temperature T0 is
// accelerated isentropically to the run's own inlet Mach number M1, and M1
// in turn follows from the static state P1, T1 through the calculation's
// inlet relations. The calculation's P1 and T1 are that static state, not
// the vessel's; an entrance loss belongs to the fittings (fittings.h).
#pragma once

#include "engineering/input_error.h"
#include "engineering/units.h"

// The flow cannot enter the pipe from this vessel: the entrance would choke.
// A larger flow or a smaller pipe chokes it too, so a search over either
// treats it as a choke.
struct EntranceChoked : InputError {
  using InputError::InputError;
};

struct VesselInletInputs {
  double p0;               // stagnation pressure in the vessel, psia
  double t0;               // stagnation temperature in the vessel, F
  double k, mw, w, z1, d;  // the run's k, MW (lb/lb-mole), W (lb/hr), Z1 and D (in.)
};

struct VesselInletResult {
  double p1, t1;  // psia and F, on the six-decimal grid of a typed input
  double m1;      // the inlet Mach number the calculation computes from p1, t1
  // The stagnation state the calculation reports for p1, t1: P0 and T0 back
  // to within the grid's rounding.
  double p0Back, t0Back;
  int iterations;  // evaluations of the grid map until a grid point repeated
  // 0 where the map settled on one grid point; otherwise the length of the
  // cycle it ended in, and p1, t1 the member of the cycle whose p0Back, t0Back
  // come nearest P0, T0 (the larger of the two relative errors, the
  // temperature taken in degrees Rankine, smallest; the first such on a tie).
  int cycleLength;
};

// Solves P1 = P0 / s^(k/(k-1)) and TR1 = TR0 / s with s = StagnationRatio(k,
// M1(P1, T1)): the exact inverses of the stagnation relations that the
// calculation reports, so that calculating the run gives P0 and T0 back.
//
// First the continuous fixed point is bracketed by bisection on M1 in [0, 1]
// (there is one subsonic solution at most: the flow per unit area from a
// vessel grows with M1 up to 1); then the map (P1, T1) -> M1 -> (P1, T1),
// with both rounded to six decimals as the window keeps a typed input, is
// iterated from that point until a grid point repeats.
//
// Throws InputError for inputs without a state (P0, T0 in absolute terms, D,
// MW, Z1 not above zero, k not above 1, a negative flow) and where the flow
// cannot enter the pipe from this vessel: at M1 = 1 the entrance is choked
// (EntranceChoked), and the message gives the least vessel pressure the flow
// needs, in `units`.
VesselInletResult VesselInlet(const VesselInletInputs& in, UnitSystem units = UnitSystem::Us);
