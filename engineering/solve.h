// Solving a run for its one unknown input: the diameter that keeps the loss
// under a limit, the flow that leaves a given exit pressure, the longest line
// before the exit reaches a Mach number, the inlet pressure an outlet
// pressure needs. Every candidate is a complete Calculate of the core
// (CalculateQuietly), so an answer is exactly the run the window would show
// for it, and nothing of the calculation is written twice.
//
// The search works on the values a typed entry can hold: whole millionths of
// the input's unit, because the window keeps six decimals of a typed number.
// Candidates are integers n, the input's text is n / 10^6 written by the input
// pattern, so every answer is exact and the same on every machine. The search
// first calculates a ladder of inputs from the end of the range where lines
// are easy (small flows and lengths, large diameters and pressures), each a
// quarter or four times the last, towards the other end, and stops at the
// first one that chokes: beyond a choked run every run chokes too, since a
// larger flow or length or a smaller diameter or pressure only raises the
// inlet Mach number or the pipe's friction parameter. It then bisects between
// the last ladder input that meets the targets and the next one, down to two
// neighbours on the grid. A ladder that meets the targets, fails and meets
// them again is reported, not passed over.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calculate.h"
#include "engineering/pipe_schedules.h"
#include "engineering/units.h"

// An input a solve can leave free.
struct FreeInput {
  FieldRef field;
  std::string_view noun;  // how messages name it: "flow"
  bool largest;           // the answer is the largest input meeting the targets, else the smallest
  std::int64_t lowest;    // the range searched, millionths of the field's unit
  std::int64_t highest;
};

// The four free inputs: w, d, l and p1. Flows, lengths and pressures go up to
// 999,999,999.999999, the largest value a typed entry holds to the millionth
// (15 significant digits); diameters up to the largest standard pipe, 48 in.
const std::vector<FreeInput>& FreeInputs();

// The free input of a key ("w", "d", "l", "p1"); throws InputError otherwise.
const FreeInput& FindFreeInput(std::string_view key);

// The exit momentum flux rho2 * V2^2, lb/(ft s^2), the usual erosion and
// noise criterion of a line: a target's key beside the result keys.
inline constexpr std::string_view kMomentumFluxKey = "rv2";
inline constexpr std::string_view kMomentumFluxUnit = "lb/(ft s^2)";
// From the run's own full-precision exit density and velocity.
std::optional<double> ExitMomentumFlux(const ResultValues& values);
// In SI the exit momentum flux is in kg/(m s^2), that is Pa: the exit
// density's factor times the square of the exit velocity's.
std::string_view MomentumFluxUnit(UnitSystem units);
double MomentumFluxToUnits(double usValue, UnitSystem units);

// <=, >=, < and > bound a result; = asks for the result nearest the number.
enum class Relation { kAtMost, kAtLeast, kBelow, kAbove, kNearest };

// A condition on a numeric result, "KEY<=NUMBER", "KEY>=NUMBER", "KEY<NUMBER",
// "KEY>NUMBER" or "KEY=NUMBER": the key of a result or rv2, in any letter
// case, and the number in the run's number symbols, as every typed number,
// and in the units given (SI: the result's SI unit).
struct Target {
  std::string key;
  std::optional<FieldRef> field;  // the result; none for the exit momentum flux
  Relation relation;
  double bound;      // in US units, as the calculation gives the result
  double given;      // the number as given, in the units it was given in
  std::string text;  // the condition as given, without blanks: "dpc<=100"
};

// Throws InputError for a condition without a relation or a number, a key
// that names no result, one that names an input or a text, or an SI number
// out of the result's range (a temperature below absolute zero).
Target ParseTarget(std::string_view condition, const NumberSymbols& symbols,
                   UnitSystem units = UnitSystem::Us);

// The value a target bounds: the result's full-precision value, not its
// display text. A text rounds p2 to two decimals, so it would let 499.996
// meet p2>=500 and make a whole stretch of inputs tie. None where the run did
// not reach it: a run that stops with a message, or a maximum flow that could
// not be found (its box holds 0.0, which is no flow).
std::optional<double> TargetValue(const Target& target, const Calculated& calculated);

// Whether a value satisfies a bound; a kNearest target is never met outright.
bool Meets(const Target& target, double value);

// Prepares a candidate's run once its free input is written, for the inputs
// that follow from it: the static inlet state below a vessel (from the flow
// and the diameter), fittings as length (from the diameter, the roughness and
// the straight length). Returns nothing when the run is ready to calculate,
// or why the flow cannot even enter the pipe (the entrance from a vessel
// would choke); such a candidate counts as one that chokes, as every
// candidate beyond it does. Any other failure throws InputError out of the
// solve. Called from several threads at once in a sweep.
using CandidatePreparation = std::function<std::optional<std::string>(RunRecord& run)>;

struct SolveSetup {
  const FreeInput* input = nullptr;
  std::vector<Target> targets;        // all must hold; at most one kNearest
  std::string_view schedule;          // empty for a continuous input, else a pick of diameters
  UnitSystem units = UnitSystem::Us;  // of the numbers in messages
  CandidatePreparation prepare;       // none: the free input's text is all a candidate needs
};

// Reads the free input's key, the conditions (their numbers in `units`) and a
// schedule name (empty for none). Throws InputError: a key that is not one of
// the four inputs, a bad condition, no condition at all, two "=" conditions,
// an unknown schedule or a schedule for an input other than the diameter.
SolveSetup ParseSolveSetup(std::string_view forKey, const std::vector<std::string>& conditions,
                           std::string_view schedule, const NumberSymbols& symbols,
                           UnitSystem units = UnitSystem::Us);

// The grid input next to an answer, in the direction the answer could not
// go; for a "=" target the one across the number, else one that fails.
struct GridNeighbour {
  std::string text;  // as a typed entry holds it
  double value = 0;  // US units, as every input of the run
  // "p2 = 499.99612 fails p2>=500", the message its run ended with, or for a
  // "=" target "p2 = 30.0041 lies farther from p2=30".
  std::string why;
};

struct SolveResult {
  bool found = false;
  // The answer's run, calculated, its free input holding `text` (or, where the
  // setup prepares candidates, what the preparation made of it).
  RunRecord run;
  Calculated calculated;
  std::string text;  // the answer as a typed entry holds it: "6.304512"
  double value = 0;
  std::optional<PipeSize> pipe;            // a schedule pick's size
  std::optional<GridNeighbour> neighbour;  // none at the end of the range
  // Messages give numbers in the setup's units.
  // What stopped the search where no target did ("chokes beyond 602,877.3
  // lb/hr"), or, without an answer, why there is none ("no diameter up to 48
  // in. meets dpc<=5").
  std::string limit;
  // The targets met, failed and were met again along the ladder: the answer
  // is the extreme one found, and a sweep shows the whole picture.
  std::string warning;
  int calculates = 0;
};

// Solves `run` (its other inputs as they stand; the free input's own text is
// not used) for the extreme grid input meeting every target: the largest
// flow or length, the smallest diameter or inlet pressure. With a "="
// target, the other targets met, the input whose result is nearest to it:
// where the result crosses the number, or, where the line chokes or another
// target fails before it does, at that end (with the limit said); neither
// grid neighbour comes nearer. A number the result does not come nearest to
// at either of those places has no answer, and the limit says where it came
// nearest. With a schedule, the smallest size of it whose inside diameter
// meets the targets. A run that stops with a message fails every target; one that
// writes every result but the maximum flow fails only a target on wmax.
// Reads `run` and `setup` and keeps nothing, so a sweep may call it for many
// runs at once on several threads with one setup.
SolveResult Solve(const RunRecord& run, const SolveSetup& setup, const NumberSymbols& symbols);
