// Proven bounds on the computed friction-flow function F over a stretch of a
// march, from samples at the stretch's two ends: what lets a search rule out
// a whole stretch of the grid without evaluating F at every point of it.
//
// Two bounds, each for a march that moves one Mach number and holds the other
// fixed (the exit Mach number from a fixed inlet; the inlet Mach number
// towards a fixed exit at exactly 1.0):
// - the rounding bound: the computed F lies within StretchRounding of the
//   exact F plus a constant, and the exact F is monotone in the moving Mach
//   number, so F over the stretch is bounded by its value at the far end;
// - the split bound: termA is monotone as computed (every operation on it is
//   a rounded monotone one), and the computed ratio of the logarithm stays
//   within a few roundings of a monotone exact ratio, so termA at one end and
//   the logarithm at the other bound F (LogTermAtMost, LogTermAtLeast).
// The derivations, operation by operation, are in calc/flow_bounds.cpp.
#pragma once

#include "calc/friction_flow.h"

enum class MovingMach {
  kExit,   // Ma fixed, Mb rising: F rises
  kInlet,  // Mb = 1.0 exactly, Ma rising towards it: F falls
};

// True where both bounds hold for a sample: the squares are far from
// underflow, so that every rounding is relative, and the pieces are finite.
bool BoundsHoldAt(const FrictionFlowParts& p);

// The most by which the computed F, at any grid point between the samples lo
// and hi of one march (BoundsHoldAt both), differs from the exact F plus a
// constant of the march.
double StretchRounding(const FrictionFlowParts& lo, const FrictionFlowParts& hi, MovingMach moving);

// termB * ln(ratio), as computed, is at most LogTermAtMost(lo) at every grid
// point of an exit Mach march from lo onwards, and at least LogTermAtLeast(lo)
// at every point of an inlet Mach march from lo onwards (BoundsHoldAt lo and
// the point). NaN where BoundsHoldAt(lo) fails.
double LogTermAtMost(const FrictionFlowParts& lo);
double LogTermAtLeast(const FrictionFlowParts& lo);
