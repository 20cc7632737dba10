#include "engineering/solve.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "calc/field_names.h"
#include "engineering/input_error.h"

namespace {

// Grid steps per unit of the free input: the six decimals a typed entry keeps.
constexpr std::int64_t kPerUnit = 1'000'000;
// The largest input a typed entry holds to the millionth: 15 significant
// digits, the precision in which the input pattern writes a number.
constexpr std::int64_t kGridTop = 999'999'999'999'999;
// Each ladder input is this many times the last, or this many times smaller.
constexpr std::int64_t kLadderRatio = 4;
// Most moves a "=" answer makes towards a nearer grid neighbour.
constexpr int kPolishMoves = 64;

double GridValue(std::int64_t n) {
  return static_cast<double>(n) / static_cast<double>(kPerUnit);
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A number in a message as the window writes an input, without the bare
// decimal symbol of a whole number: "48", "602,877.3".
std::string MessageNumber(double value, const NumberSymbols& symbols) {
  std::string text = FormatByPattern(value, kInputPattern, symbols);
  const std::string& point = symbols.decimal;
  if (text.size() >= point.size() &&
      text.compare(text.size() - point.size(), point.size(), point) == 0) {
    text.resize(text.size() - point.size());
  }
  return text;
}

// A full-precision value in a message: the shortest text that reads back as
// the same double, so that "p2 = 499.99612 fails p2>=500" is never shown as
// a rounded 500.0.
std::string ExactNumber(double value, const NumberSymbols& symbols) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  std::string text;
  for (const char* c = buffer; c != end; ++c) {
    text += *c == '.' ? symbols.decimal : std::string(1, *c);
  }
  return text;
}

bool Chokes(const CalcOutcome& outcome) {
  return outcome.end == CalcEnd::kExitMachPassesOne ||
         outcome.end == CalcEnd::kInletMachNotBelowOne;
}

std::string ResultKeys() {
  std::string keys;
  for (const FieldInfo& field : FieldTable()) {
    if (field.isResult) keys += std::string(field.key) + ", ";
  }
  return keys + std::string(kMomentumFluxKey);
}

// The result a condition's key names; none for the exit momentum flux.
std::optional<FieldRef> TargetField(const std::string& key, const std::string& condition) {
  if (key == kMomentumFluxKey) return std::nullopt;
  const FieldInfo* field = FieldByKey(key);
  const std::string quoted = "\"" + condition + "\": ";
  if (!field) {
    throw InputError(quoted + "no result has the key \"" + key + "\" (" + ResultKeys() + ")");
  }
  if (!field->isResult) {
    const char* what = HoldsNumber(field->ref) ? "an input" : "a text";
    throw InputError(quoted + key + " is " + what + " (" + DistinctName(field->ref) +
                     "), and a target bounds a result");
  }
  return field->ref;
}

struct RelationSign {
  std::string_view sign;
  Relation relation;
};
// Two-character signs first, so that "<=" is not read as "<".
constexpr RelationSign kSigns[] = {{"<=", Relation::kAtMost},
                                   {">=", Relation::kAtLeast},
                                   {"<", Relation::kBelow},
                                   {">", Relation::kAbove},
                                   {"=", Relation::kNearest}};

// A candidate input on the grid and its calculated run.
struct Probe {
  std::int64_t n = 0;
  RunRecord run;
  Calculated calculated;
  std::string entrance;  // why its preparation found the entrance choked, if it did
};

// A target's value or bound in the units the user reads.
double Shown(const Target& target, double usValue, UnitSystem units) {
  return target.field ? ToUnits(*target.field, usValue, units)
                      : MomentumFluxToUnits(usValue, units);
}

// The inputs a solve tries.
struct Grid {
  std::vector<std::int64_t> ladder;  // from the easy end towards the answer's side
  bool bisect = true;                // continuous: fill the gaps between ladder inputs
  std::vector<PipeSize> sizes;       // a schedule's sizes; empty for a continuous input
};

std::vector<std::int64_t> Ladder(const FreeInput& input) {
  std::vector<std::int64_t> ladder;
  if (input.largest) {
    ladder.push_back(input.lowest);
    for (std::int64_t n = 1; n < input.highest; n *= kLadderRatio) {
      if (n > input.lowest) ladder.push_back(n);
    }
    ladder.push_back(input.highest);
  } else {
    ladder.push_back(input.highest);
    for (std::int64_t n = input.highest / kLadderRatio; n > input.lowest; n /= kLadderRatio) {
      ladder.push_back(n);
    }
    ladder.push_back(input.lowest);
  }
  return ladder;
}

// A schedule's sizes, largest first: the easy end of a diameter.
Grid ScheduleGrid(std::string_view schedule) {
  Grid grid;
  grid.bisect = false;
  grid.sizes = ScheduleSizes(schedule);
  for (auto size = grid.sizes.rbegin(); size != grid.sizes.rend(); ++size) {
    grid.ladder.push_back(std::int64_t{size->InsideMils()} * (kPerUnit / 1000));
  }
  return grid;
}

class Solver {
 public:
  Solver(const RunRecord& run, const SolveSetup& setup, const NumberSymbols& symbols)
      : base_(run), setup_(setup), input_(*setup.input), symbols_(symbols) {
    for (const Target& target : setup.targets) {
      if (target.relation == Relation::kNearest) nearest_ = &target;
    }
    if (setup.schedule.empty()) {
      grid_.ladder = Ladder(input_);
    } else {
      grid_ = ScheduleGrid(setup.schedule);
    }
  }

  SolveResult Run() {
    std::vector<Probe> ladder;
    for (std::int64_t n : grid_.ladder) {
      ladder.push_back(Calculate(n));
      if (Chokes(ladder.back().calculated.outcome)) break;
    }
    ChooseSide(ladder);
    if (nearest_ && !NearestAtFarEnd(ladder)) return NotReached(ladder);
    std::size_t last = ladder.size();
    for (std::size_t i = 0; i < ladder.size(); ++i) {
      if (Holds(ladder[i])) last = i;
    }
    if (last == ladder.size()) return NoAnswer(ladder);
    if (last + 1 == ladder.size()) return Answer(ladder[last], std::nullopt, ladder);
    Probe hold = ladder[last];
    Probe fail = ladder[last + 1];
    Narrow(hold, fail);
    return Answer(std::move(hold), std::move(fail), ladder);
  }

 private:
  Probe Calculate(std::int64_t n) {
    Probe probe{n, base_, {}, {}};
    Text(probe.run, input_.field) = GridText(n);
    if (setup_.prepare) {
      if (std::optional<std::string> choked = setup_.prepare(probe.run)) {
        // The flow cannot enter the pipe: an inlet that is not subsonic.
        probe.calculated.outcome = {CalcEnd::kInletMachNotBelowOne, kMach1};
        probe.entrance = std::move(*choked);
        return probe;
      }
    }
    probe.calculated = CalculateQuietly(probe.run, symbols_, &memo_);
    ++calculates_;
    return probe;
  }

  std::string GridText(std::int64_t n) const {
    return FormatByPattern(GridValue(n), kInputPattern, symbols_);
  }

  // Every target has its value and every bound holds.
  bool Feasible(const Probe& probe) const {
    for (const Target& target : setup_.targets) {
      const auto value = TargetValue(target, probe.calculated);
      if (!value || (&target != nearest_ && !Meets(target, *value))) return false;
    }
    return true;
  }

  double Signed(const Probe& probe) const {
    return *TargetValue(*nearest_, probe.calculated) - nearest_->bound;
  }
  double Distance(const Probe& probe) const { return std::fabs(Signed(probe)); }

  // Bisects between an input that holds and one that does not, down to
  // neighbours on the grid.
  void Narrow(Probe& hold, Probe& fail) {
    while (grid_.bisect && std::llabs(fail.n - hold.n) > 1) {
      Probe middle = Calculate(hold.n + (fail.n - hold.n) / 2);
      (Holds(middle) ? hold : fail) = std::move(middle);
    }
  }

  // The grid input beside n, one step up (+1) or down (-1), if any.
  std::optional<std::int64_t> Beside(std::int64_t n, int step) const {
    if (grid_.sizes.empty()) {
      if (n + step < input_.lowest || n + step > input_.highest) return std::nullopt;
      return n + step;
    }
    const auto at = std::find(grid_.ladder.begin(), grid_.ladder.end(), n);  // largest first
    if (step > 0) return at == grid_.ladder.begin() ? std::nullopt : std::optional(*(at - 1));
    return at + 1 == grid_.ladder.end() ? std::nullopt : std::optional(*(at + 1));
  }

  // Moves a "=" answer to a grid neighbour for as long as one comes nearer:
  // the exit Mach number is marched in steps of 1e-7, so a result such as
  // p2 can step against its trend from one grid input to the next. Returns
  // the neighbour to report: the one across the number, else one that fails
  // (it names the limit), else the nearer one.
  std::optional<Probe> Polish(Probe& answer, std::optional<Probe> known) {
    for (int move = 0;; ++move) {
      std::array<std::optional<Probe>, 2> sides;
      for (int side = 0; side < 2; ++side) {
        const auto n = Beside(answer.n, side == 0 ? -1 : 1);
        if (!n) continue;
        sides[side] = known && known->n == *n ? std::move(known) : Calculate(*n);
      }
      known.reset();
      std::optional<Probe>* nearer = nullptr;
      for (auto& side : sides) {
        if (side && Feasible(*side) && Distance(*side) < Distance(nearer ? **nearer : answer)) {
          nearer = &side;
        }
      }
      if (!nearer || move == kPolishMoves) return Reported(answer, std::move(sides));
      known = std::move(answer);
      answer = std::move(**nearer);
    }
  }

  std::optional<Probe> Reported(const Probe& answer,
                                std::array<std::optional<Probe>, 2> sides) const {
    for (auto& side : sides) {
      if (side && Feasible(*side) && Signed(*side) * Signed(answer) <= 0) return std::move(side);
    }
    for (auto& side : sides) {
      if (side && !Feasible(*side)) return std::move(side);
    }
    if (sides[0] && sides[1]) return std::move(sides[Distance(*sides[1]) < Distance(*sides[0])]);
    return std::move(sides[0] ? sides[0] : sides[1]);
  }

  // A "=" target that the ladder crosses, or that it comes nearest at the
  // far end of the inputs meeting the other targets (p2=30 in a line that
  // chokes first): the search narrows to the crossing or to that end. One
  // that comes nearest anywhere else is not reached: at small Mach numbers
  // the marched exit Mach number overshoots by up to a step, so a result
  // such as p2 can turn, and the nearest input would be a maximum to hunt.
  bool NearestAtFarEnd(const std::vector<Probe>& ladder) const {
    const Probe* last = nullptr;
    const Probe* best = nullptr;
    for (const Probe& probe : ladder) {
      if (!Feasible(probe)) continue;
      if (!Holds(probe)) return true;  // it crosses the number
      last = &probe;
      if (!best || Distance(probe) < Distance(*best)) best = &probe;
    }
    return best == last;
  }

  // Feasible, and with a "=" target on the side of its number where the
  // ladder starts, so that the search narrows to where it crosses.
  bool Holds(const Probe& probe) const {
    return Feasible(probe) && (!nearest_ || side_ * Signed(probe) >= 0);
  }

  void ChooseSide(const std::vector<Probe>& ladder) {
    if (!nearest_) return;
    for (const Probe& probe : ladder) {
      if (Feasible(probe)) {
        side_ = Signed(probe) >= 0 ? 1 : -1;
        return;
      }
    }
  }

  std::string_view Unit() const { return UnitText(input_.field, setup_.units); }

  // A number of the free input's in the units the user reads.
  std::string InputNumber(double usValue) const {
    return MessageNumber(ToUnits(input_.field, usValue, setup_.units), symbols_);
  }

  // A target's value or number, at full precision, in the user's units.
  std::string TargetNumber(const Target& target, double usValue) const {
    return ExactNumber(Shown(target, usValue, setup_.units), symbols_);
  }

  const PipeSize* SizeAt(std::int64_t n) const {
    for (const PipeSize& size : grid_.sizes) {
      if (std::int64_t{size.InsideMils()} * (kPerUnit / 1000) == n) return &size;
    }
    return nullptr;
  }

  // "48 in.", or a schedule's size: "NPS 6 schedule 40 (6.065 in.)".
  std::string Describe(std::int64_t n) const {
    const std::string value = InputNumber(GridValue(n)) + " " + std::string(Unit());
    const PipeSize* size = SizeAt(n);
    return size ? PipeLabel(*size) + " (" + value + ")" : value;
  }

  std::string Conditions() const {
    std::string text;
    for (const Target& target : setup_.targets) text += (text.empty() ? "" : " and ") + target.text;
    return text;
  }

  // Why a neighbour is not the answer: the message its run ended with, the
  // bound it fails, or for a "=" target its distance.
  std::string WhyNot(const Probe& probe) const {
    const Calculated& calculated = probe.calculated;
    if (!probe.entrance.empty()) return probe.entrance;
    for (const Target& target : setup_.targets) {
      const auto value = TargetValue(target, calculated);
      if (!value) return OutcomeMessage(calculated.outcome, symbols_);
      if (&target != nearest_ && !Meets(target, *value)) {
        return target.key + " = " + TargetNumber(target, *value) + " fails " + target.text;
      }
    }
    const double value = *TargetValue(*nearest_, calculated);
    return nearest_->key + " = " + TargetNumber(*nearest_, value) + " lies farther from " +
           nearest_->text;
  }

  // What stopped the search where no target did.
  std::string Limit(const Probe& answer, const std::optional<Probe>& neighbour) const {
    if (!neighbour) {
      if (grid_.sizes.empty()) return "the input grid ends at " + Describe(answer.n);
      const bool smallest = answer.n == grid_.ladder.back();
      return ScheduleLabel(setup_.schedule) + " has no size " + (smallest ? "below" : "above") +
             " NPS " + std::string(SizeAt(answer.n)->nominal);
    }
    const CalcOutcome& outcome = neighbour->calculated.outcome;
    const std::string where = (neighbour->n > answer.n ? "beyond " : "below ") + Describe(answer.n);
    if (Chokes(outcome)) return "chokes " + where;
    if (!outcome.AllResultsWritten()) return "the calculation stops with a message " + where;
    return {};
  }

  // For a flow or a length, the choking value the last complete ladder run
  // wrote: "the choking flow, 602,877.3 lb/hr,".
  std::string ChokingValue(const std::vector<Probe>& ladder) const {
    const std::optional<FieldRef> limit = input_.field == kFlow     ? std::optional(kMaxFlow)
                                          : input_.field == kLength ? std::optional(kMaxLength)
                                                                    : std::nullopt;
    if (!limit || !Chokes(ladder.back().calculated.outcome)) return {};
    for (auto probe = ladder.rbegin(); probe != ladder.rend(); ++probe) {
      if (probe->calculated.outcome.Complete()) {
        return "the choking " + std::string(input_.noun) + ", " + LimitText(*probe, *limit) + " " +
               std::string(Unit()) + ",";
      }
    }
    return {};
  }

  // A limiting value as its box shows it, in the user's units.
  std::string LimitText(const Probe& probe, FieldRef limit) const {
    if (setup_.units == UnitSystem::Us) return Text(probe.run, limit);
    const double value = ToUnits(limit, *probe.calculated.values.Of(limit), setup_.units);
    return FormatByPattern(value, Field(limit).pattern, symbols_);
  }

  std::string NoneMeets(const std::vector<Probe>& ladder) const {
    const std::string noun =
        grid_.sizes.empty() ? std::string(input_.noun) : ScheduleLabel(setup_.schedule) + " pipe";
    std::string upTo = input_.largest ? ChokingValue(ladder) : "";
    if (upTo.empty()) {
      const std::int64_t top = input_.largest ? ladder.back().n : ladder.front().n;
      const PipeSize* size = SizeAt(top);
      upTo = size ? "NPS " + std::string(size->nominal) : Describe(top);
    }
    return "no " + noun + " up to " + upTo + " meets " + Conditions();
  }

  SolveResult NoAnswer(const std::vector<Probe>& ladder) const {
    SolveResult result;
    const Probe& easy = ladder.front();
    const CalcOutcome& outcome = easy.calculated.outcome;
    if (Chokes(outcome)) {
      result.limit = "chokes even at " + Describe(easy.n);
    } else if (!outcome.AllResultsWritten()) {
      result.limit = OutcomeMessage(outcome, symbols_);
    } else {
      result.limit = NoneMeets(ladder);
    }
    result.calculates = calculates_;
    return result;
  }

  SolveResult NotReached(const std::vector<Probe>& ladder) const {
    const Probe* best = nullptr;
    for (const Probe& probe : ladder) {
      if (Feasible(probe) && (!best || Distance(probe) < Distance(*best))) best = &probe;
    }
    SolveResult result;
    const std::string value = TargetNumber(*nearest_, *TargetValue(*nearest_, best->calculated));
    result.limit = nearest_->key + " does not reach " + ExactNumber(nearest_->given, symbols_) +
                   ": of the inputs tried it comes nearest at " + Describe(best->n) + " (" +
                   nearest_->key + " = " + value + "), and a sweep over " +
                   std::string(Key(input_.field)) + " shows how it varies";
    result.calculates = calculates_;
    return result;
  }

  // The ladder holds, fails and holds again: say where.
  std::string Warning(const std::vector<Probe>& ladder) const {
    std::size_t held = 0;
    while (held < ladder.size() && !Holds(ladder[held])) ++held;
    std::size_t failed = held;
    while (failed < ladder.size() && Holds(ladder[failed])) ++failed;
    std::size_t again = failed;
    while (again < ladder.size() && !Holds(ladder[again])) ++again;
    if (again >= ladder.size()) return {};
    return "the targets hold at " + Describe(ladder[held].n) + ", fail at " +
           Describe(ladder[failed].n) + " and hold again at " + Describe(ladder[again].n) +
           ": they do not change one way with the " + std::string(input_.noun) +
           ", and a sweep over " + std::string(Key(input_.field)) + " shows where they hold";
  }

  SolveResult Answer(Probe answer, std::optional<Probe> neighbour,
                     const std::vector<Probe>& ladder) {
    if (nearest_) neighbour = Polish(answer, std::move(neighbour));
    SolveResult result;
    result.found = true;
    result.text = GridText(answer.n);
    result.value = GridValue(answer.n);
    if (const PipeSize* size = SizeAt(answer.n)) result.pipe = *size;
    if (neighbour) {
      result.neighbour =
          GridNeighbour{GridText(neighbour->n), GridValue(neighbour->n), WhyNot(*neighbour)};
    }
    result.limit = Limit(answer, neighbour);
    result.warning = Warning(ladder);
    result.run = std::move(answer.run);
    result.calculated = std::move(answer.calculated);
    result.calculates = calculates_;
    return result;
  }

  const RunRecord& base_;
  const SolveSetup& setup_;
  const FreeInput& input_;
  const NumberSymbols& symbols_;
  const Target* nearest_ = nullptr;
  int side_ = 1;  // +1: the ladder starts above the "=" target's number; -1: below it
  Grid grid_;
  int calculates_ = 0;
  MaxFlowMemo memo_;  // candidates of one flow or Z2 apart search the maximum flow once
};

}  // namespace

const std::vector<FreeInput>& FreeInputs() {
  static const std::vector<FreeInput> inputs{
      {kFlow, "flow", true, 1, kGridTop},
      {kDiameter, "diameter", false, 1,
       std::int64_t{NominalPipes().back().outsideMils} * (kPerUnit / 1000)},
      {kLength, "length", true, 0, kGridTop},
      {kPressure1, "inlet pressure", false, 1, kGridTop},
  };
  return inputs;
}

const FreeInput& FindFreeInput(std::string_view key) {
  const std::vector<FreeInput>& inputs = FreeInputs();
  const std::string wanted = Lower(Trimmed(key));
  std::string known;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (Key(inputs[i].field) == wanted) return inputs[i];
    const char* separator = i == 0 ? "" : i + 1 == inputs.size() ? " or " : ", ";
    known +=
        separator + std::string(Key(inputs[i].field)) + " (" + std::string(inputs[i].noun) + ")";
  }
  throw InputError("cannot solve for \"" + std::string(key) + "\": the free input is one of " +
                   known);
}

std::optional<double> ExitMomentumFlux(const ResultValues& values) {
  const auto rho2 = values.Of(kDensity2);
  const auto v2 = values.Of(kVelocity2);
  if (!rho2 || !v2) return std::nullopt;
  return *rho2 * std::pow(*v2, 2);
}

std::string_view MomentumFluxUnit(UnitSystem units) {
  return units == UnitSystem::Si ? "Pa" : kMomentumFluxUnit;
}

double MomentumFluxToUnits(double usValue, UnitSystem units) {
  const double factor = ToUnits(kDensity2, 1, units) * std::pow(ToUnits(kVelocity2, 1, units), 2);
  return usValue * factor;
}

Target ParseTarget(std::string_view condition, const NumberSymbols& symbols, UnitSystem units) {
  const std::string_view given = Trimmed(condition);
  const auto at = given.find_first_of("<>=");
  if (at == std::string_view::npos || at == 0) {
    throw InputError("\"" + std::string(given) +
                     "\" is not a condition: write KEY<=NUMBER, KEY>=NUMBER, KEY<NUMBER, "
                     "KEY>NUMBER or KEY=NUMBER, such as dpc<=100");
  }
  Target target{};
  std::string_view rest = given.substr(at);
  for (const RelationSign& sign : kSigns) {
    if (rest.substr(0, sign.sign.size()) == sign.sign) {
      target.relation = sign.relation;
      rest.remove_prefix(sign.sign.size());
      break;
    }
  }
  target.key = Lower(Trimmed(given.substr(0, at)));
  const std::string_view number = Trimmed(rest);
  target.text = target.key + std::string(given.substr(at, given.size() - at - rest.size())) +
                std::string(number);
  target.field = TargetField(target.key, target.text);
  const auto bound = TypedNumber(number, symbols);
  if (!bound) {
    throw InputError("\"" + target.text + "\": \"" + std::string(number) + "\" is not a number");
  }
  target.given = *bound;
  target.bound = target.field ? FromUnits(*target.field, *bound, units)
                              : *bound / MomentumFluxToUnits(1, units);
  return target;
}

std::optional<double> TargetValue(const Target& target, const Calculated& calculated) {
  if (!calculated.outcome.AllResultsWritten()) return std::nullopt;
  if (!target.field) return ExitMomentumFlux(calculated.values);
  if (*target.field == kMaxFlow && !calculated.outcome.Complete()) return std::nullopt;
  return calculated.values.Of(*target.field);
}

bool Meets(const Target& target, double value) {
  switch (target.relation) {
    case Relation::kAtMost:
      return value <= target.bound;
    case Relation::kAtLeast:
      return value >= target.bound;
    case Relation::kBelow:
      return value < target.bound;
    case Relation::kAbove:
      return value > target.bound;
    case Relation::kNearest:
      break;
  }
  return false;
}

SolveSetup ParseSolveSetup(std::string_view forKey, const std::vector<std::string>& conditions,
                           std::string_view schedule, const NumberSymbols& symbols,
                           UnitSystem units) {
  SolveSetup setup;
  setup.input = &FindFreeInput(forKey);
  setup.units = units;
  for (const std::string& condition : conditions) {
    setup.targets.push_back(ParseTarget(condition, symbols, units));
  }
  if (setup.targets.empty()) {
    throw InputError("no target given: a solve needs a condition such as dpc<=100");
  }
  const auto nearest =
      std::count_if(setup.targets.begin(), setup.targets.end(),
                    [](const Target& t) { return t.relation == Relation::kNearest; });
  if (nearest > 1) {
    throw InputError("only one target can be \"=\": one free input brings one result to a value");
  }
  if (!schedule.empty()) {
    setup.schedule = FindSchedule(schedule);
    if (!(setup.input->field == kDiameter)) {
      throw InputError("a pipe schedule picks a diameter: solve for d");
    }
  }
  return setup;
}

SolveResult Solve(const RunRecord& run, const SolveSetup& setup, const NumberSymbols& symbols) {
  return Solver(run, setup, symbols).Run();
}
