// The first step of a march at which a stop test holds, found without walking
// every step, yet exactly the step (and value) the walk would stop at.
//
// A march starts at `start`, tests the stop at each grid point, and adds
// `step` to get the next one, until the stop holds or the march runs past its
// end. The search walks the same grid, but from each point it tries to jump
// over a stretch [n, n + length] at once: it takes the grid value at the far
// end from RunningSums (exact, calc/running_sum.h), samples it, and asks the
// problem whether the samples at both ends bound the stop out of the whole
// stretch. The length of each try is aimed just short of where the stop is
// expected: from the last two points the search passed (the secant through
// their distances from the stop), or between the point it stands on and the
// nearest far end it could not rule out; with nothing to aim by it grows
// fourfold. Where the aim says the stop is a step or two away, the search
// walks with the march's own additions, where the computed test really may
// hold.
//
// Cost is counted in march steps: a walked step costs one (one evaluation of
// the test and one addition, as in the march), a jump kJumpCost, a binade
// edge the running sums cross for the first time one. Jumps are
// tried freely only while the work spent stays within the steps already
// passed plus an allowance; beyond it a jump must be long enough to pay for
// itself, and every jump that fails is followed by a walk, each twice as long
// as the last, so where bounds keep failing the search degrades into the
// march itself plus a few steps per doubling (SearchWorkBound).
//
// A search that has already cost kParallelWork steps, where bounds keep
// failing, may go on in parallel when the caller allows threads: the rest of
// the grid up to the march's end is cut into chunks, each searched the same
// way on its own from its exact running sum, and the first stop in step order
// wins (a chunk after a stop found is given up or never started).
#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "calc/running_sum.h"

// One evaluation of the march's test plus one addition.
inline constexpr std::uint64_t kWalkCost = 1;
// A jump: the running sum to the far end, one evaluation there, the bounds
// on the stretch and the aim of the next. Measured by the benchmark
// (bench/bench_search.cpp prints it) at 3 to 10.5 march steps: about 5 on
// typical runs, 9 where the computed F lies within its rounding of the stop
// (the second logarithm of the split bound, and branches no predictor can
// learn); counted as 12, above the worst with room for the machine's noise.
// A walked step costs the search what it costs the march: the same
// evaluation, with the same constants formed once.
inline constexpr std::uint64_t kJumpCost = 12;
// Work the search may spend beyond the march's own, for jumps that fail before
// any has paid off (a microsecond or two).
inline constexpr std::uint64_t kJumpAllowance = 64;
// A jump shorter than its own cost in steps can only lose; beyond the
// allowance one must save at least its own cost when it succeeds.
inline constexpr std::uint64_t kShortestUnpaidJump = 2 * kJumpCost;
// The binade edges a grid may cross, each once per search (RunningSums): an
// exit Mach number grid from its first step (1e-7 at least) to 1.0 crosses
// 24, a flow grid from 100 lb/hr to where 0.1 is lost in the rounding 42.
inline constexpr std::uint64_t kMostGridEdges = 64;
// The first try, before anything is known of how fast the stop comes nearer:
// the shortest that pays for itself with room to spare.
inline constexpr std::uint64_t kFirstJump = 2 * kJumpCost;
// A search this costly has taken a millisecond or more (15 to 35 ns a step),
// so starting and joining threads for the rest (tens of microseconds) costs a
// few percent at most; a typical search (a few dozen evaluations) never
// comes near it, and starts no thread.
inline constexpr std::uint64_t kParallelWork = std::uint64_t{1} << 16;
// Chunks per thread: enough that the threads stay busy to the end whatever
// chunk the stop lies in, few enough that each chunk's own start (a few
// jumps to find its pace) is lost in its length.
inline constexpr std::uint64_t kChunksPerThread = 8;

// The most the search may cost where the march costs `marchWork`: the
// allowance, the binade edges, and per doubling of the walk a failed try
// beyond it and the short tries that follow one. Since every cost is counted
// at its measured time in march steps, this bounds the search's time too:
// never more than the march's plus 705 steps (some 11 microseconds) for a
// Mach number grid of ten million steps, 1,353 for the longest flow grid.
constexpr std::uint64_t SearchWorkBound(std::uint64_t marchWork) {
  std::uint64_t doublings = 1;
  for (std::uint64_t w = marchWork; w > 1; w /= 2) ++doublings;
  return marchWork + kJumpAllowance + kMostGridEdges + kWalkCost + 2 * kJumpCost * doublings;
}

template <typename Sample>
struct MarchEnd {
  bool stopped;               // the stop test held; otherwise the march ran past its end
  std::uint64_t steps;        // additions made: to the stop, or to the point past the end
  double x;                   // the grid value at `steps`
  Sample sample;              // the sample at the stop (meaningless past the end)
  std::uint64_t work;         // the search's cost in march steps, as if on one thread
  std::uint64_t jumps;        // jumps tried (each counted kJumpCost in work)
  std::uint64_t evaluations;  // of the march's test, walked or at a jump's far end
};

// A stretch of the march's own loop: from step n at grid value x (whose
// sample failed the test) up to step `last` at most, to the first step where
// the test holds or after which the march ends. The loop keeps its state in
// locals and reads only the test of each sample (the rest of a sample is
// dropped as soon as it is formed). The plain march and the search's walks
// both call it, the same code out of line, so that a walked step costs what
// a march step costs.
struct MarchStretch {
  std::uint64_t n;  // the step reached
  double x;
  bool stopped, ended;
};

template <typename Problem>
[[gnu::noinline]] MarchStretch MarchOn(const Problem& on, double step, std::uint64_t n, double x,
                                       typename Problem::Sample sample, std::uint64_t last) {
  const Problem problem = on;  // a copy the compiler knows no call changes
  while (n < last) {
    const double next = x + step;
    if (problem.EndsAfter(sample, x, next)) return {n + 1, next, false, true};
    ++n;
    x = next;
    sample = problem.At(x);
    if (problem.Stops(sample)) return {n, x, true, false};
  }
  return {n, x, false, false};
}

// Problem requirements (every member const and safe to call from several
// threads at once):
//   Sample At(double x): the march's own evaluation at grid value x;
//   bool Stops(const Sample&): the march's stop test;
//   double Gap(const Sample&): how far the test is from holding, falling to 0
//     or below where it holds (only for aiming: it need not be exact);
//   double GapNoise(const Sample& lo, const Sample& hi): how much of the
//     gap's fall from lo to hi rounding alone may explain;
//   bool Ends(double x, double next): the march ends after failing at x and
//     adding the step to reach next; once true, true for every later pair;
//   bool EndsAfter(const Sample& atX, double x, double next): the same, with
//     x's sample at hand;
//   double StepsToEnd(const Sample& atX, double x): about how many steps the
//     march has left from x before it ends (only for aiming);
//   bool NoStopBetween(const Sample& lo, const Sample& hi): true only if the
//     test fails at every grid point from lo's to hi's.
template <typename Problem>
class MarchSearch {
 public:
  using Sample = typename Problem::Sample;

  MarchSearch(const Problem& problem, double start, double step, unsigned threads)
      : problem_(problem),
        step_(step),
        threads_(std::max(1u, threads)),
        x_(start),
        sums_(start, step) {}

  MarchEnd<Sample> Run() {
    const Outcome end = Search();
    return {end.how == How::kStopped, end.n, end.x, end.sample, work_, jumps_, evaluations_};
  }

 private:
  static constexpr std::uint64_t kLongest = std::uint64_t{1} << 62;
  // Growth of the jumps while nothing has failed.
  static constexpr std::uint64_t kGrowth = 4;
  // A fall of the gap this many times what rounding alone may explain is the
  // function's own, and worth aiming by.
  static constexpr double kTrustedFall = 8;
  // The steps left to the end are estimated from a rounded Mach number and a
  // nominal step; the grid's own steps differ from it by far less than this.
  static constexpr double kShortOfEnd = 1 - 0x1p-20;
  static constexpr std::uint64_t kNoLimit = ~std::uint64_t{0};
  // How often a long walk looks whether an earlier chunk has found the stop.
  static constexpr std::uint64_t kGiveUpCheck = 1024;

  enum class How { kStopped, kEnded, kAtLimit, kGivenUp };
  struct Outcome {
    How how = How::kGivenUp;
    std::uint64_t n = 0;  // the step it happened at
    double x = 0;
    Sample sample{};
  };
  struct Behind {  // the point the search stood on before its last jump
    bool known = false;
    std::uint64_t n = 0;
    double gap = 0;
    double noise = 0;  // of the gap's fall over the jump
  };
  struct Ahead {  // the nearest far end not ruled out, or where the march ends
    bool known = false;
    std::uint64_t n = 0;
    bool sampled = false;  // else the march ends there, and gap is unknown
    double gap = 0;
  };

  // One chunk of a parallel search: steps [first, limit] of the same grid,
  // given up once `firstEvent` (the earliest stop or end found by any chunk)
  // lies before the point reached.
  MarchSearch(const Problem& problem, double step, std::uint64_t first, double x,
              std::uint64_t limit, const std::atomic<std::uint64_t>* firstEvent)
      : problem_(problem),
        step_(step),
        threads_(1),
        limit_(limit),
        firstEvent_(firstEvent),
        first_(first),
        n_(first),
        x_(x),
        sums_(x, step) {}

  Outcome Search() {
    sample_ = Evaluate(x_);
    work_ += kWalkCost;
    for (;;) {
      if (problem_.Stops(sample_)) return {How::kStopped, n_, x_, sample_};
      if (n_ >= limit_) return {How::kAtLimit, n_, x_, sample_};
      if (GivenUp(n_)) return {};
      if (threads_ > 1 && work_ >= kParallelWork) return SearchInParallel();
      if (n_ < walkTo_) {
        if (const std::optional<Outcome> end = Walk(std::min(walkTo_, limit_) - n_)) return *end;
        continue;
      }
      const std::uint64_t length = std::min(NextLength(), limit_ - n_);
      const bool paid = work_ + kJumpCost <= n_ + 1 + kJumpAllowance;
      if (length >= (paid ? kJumpCost : kShortestUnpaidJump)) {
        if (Jump(length)) {
          // A success beyond the allowance has paid for itself and one failed
          // try besides: the walk after the next failure need only be half
          // as long.
          through_ = paid ? kShortestUnpaidJump : std::max(kShortestUnpaidJump, through_ / 2);
          continue;
        }
        if (paid) continue;  // aim again, inside the stretch that failed
      }
      // Walk on: the stop is expected within a step or two, or a try beyond
      // the allowance failed. Each such walk is twice as long as the last.
      walkTo_ = n_ + through_;
      through_ = through_ < kLongest ? through_ * 2 : through_;
    }
  }

  bool GivenUp(std::uint64_t n) const {
    return firstEvent_ && firstEvent_->load(std::memory_order_relaxed) < n;
  }

  // The next jump's length, aimed just short of the expected stop: by the
  // secant through the last two points passed, which falls short of the stop
  // where the gap bends towards it (it does in both marches); at least
  // kGrowth times the last jump while no far end has failed, since far from
  // the stop the secant may creep; inside a failed stretch by the chord to
  // its far end, or halfway, whichever is shorter, so that the stretch at
  // least halves with every try.
  std::uint64_t NextLength() {
    if (ahead_.known && ahead_.n <= n_) ahead_.known = false;
    const double gap = problem_.Gap(sample_);
    const double room = static_cast<double>(ahead_.known ? ahead_.n - n_ : kLongest);
    double aim = NAN;
    const bool trusted = behind_.known && behind_.gap - gap > kTrustedFall * behind_.noise;
    if (trusted && gap > 0) aim = gap * static_cast<double>(n_ - behind_.n) / (behind_.gap - gap);
    if (!ahead_.known) {
      // Where rounding may explain the fall, the gap says nothing: each
      // success only doubles the next try, as each failure halves it.
      const auto grown = static_cast<double>((trusted ? kGrowth : 2) * lastJump_);
      if (!(aim >= grown)) aim = grown;
    } else if (!(aim < room)) {
      aim = ahead_.sampled && ahead_.gap < gap && gap > 0 ? gap * room / (gap - ahead_.gap) : NAN;
      if (!(aim <= room / 2)) aim = room / 2;
    }
    // Never aimed past the march's end: a try there tells only that it ends.
    const double toEnd = problem_.StepsToEnd(sample_, x_) * kShortOfEnd;
    if (toEnd < aim) aim = toEnd;
    return aim >= static_cast<double>(kLongest) ? kLongest : static_cast<std::uint64_t>(aim);
  }

  // Tries to rule out the stretch [n, n + length]; moves there if it can.
  bool Jump(std::uint64_t length) {
    work_ += kJumpCost;
    ++jumps_;
    const double beforeFar = GridAt(n_ + length - 1);
    const double far = beforeFar + step_;
    if (problem_.Ends(beforeFar, far)) {
      ahead_ = {true, n_ + length, false, 0};
      return false;
    }
    const Sample farSample = Evaluate(far);
    if (!problem_.NoStopBetween(sample_, farSample)) {
      ahead_ = {true, n_ + length, true, problem_.Gap(farSample)};
      return false;
    }
    behind_ = {true, n_, problem_.Gap(sample_), problem_.GapNoise(sample_, farSample)};
    n_ += length;
    x_ = far;
    sample_ = farSample;
    lastJump_ = length;
    return true;
  }

  // Walks `count` steps on, or to the first stop within them (left to Search
  // to report), or to the march's end; a chunk of a parallel search looks
  // every kGiveUpCheck steps whether an earlier chunk has found the stop.
  // The sample where the walk ends is formed once more (see MarchOn).
  std::optional<Outcome> Walk(std::uint64_t count) {
    behind_.known = false;
    const std::uint64_t end = n_ + count, block = firstEvent_ ? kGiveUpCheck : count;
    MarchStretch walked{n_, x_, false, false};
    for (Sample sample = sample_; !walked.stopped && walked.n < end;
         sample = problem_.At(walked.x)) {
      if (GivenUp(walked.n)) return Outcome{};
      walked =
          MarchOn(problem_, step_, walked.n, walked.x, sample, std::min(end, walked.n + block));
      if (walked.ended) {
        Walked(walked.n - n_);
        return Outcome{How::kEnded, walked.n, walked.x, {}};
      }
      Walked(walked.n - n_ + 1);  // and the sample formed once more
      n_ = walked.n;
    }
    x_ = walked.x;
    sample_ = problem_.At(x_);
    return std::nullopt;
  }

  void Walked(std::uint64_t steps) {
    work_ += steps * kWalkCost;
    evaluations_ += steps;
  }

  Sample Evaluate(double x) {
    ++evaluations_;
    return problem_.At(x);
  }

  // The grid value at step n, exactly; a binade edge the running sums cross
  // for the first time counts a march step (a stretch and a step, measured
  // at under half of one).
  double GridAt(std::uint64_t n) {
    const std::uint64_t edges = sums_.Edges();
    const double x = sums_.At(n - first_);
    work_ += sums_.Edges() - edges;
    return x;
  }

  // The step at which the march ends (Ends), found by galloping over the
  // exact running sums: from the point the search stands on, which it has
  // not ended by.
  std::uint64_t EndStep() {
    const auto endedBy = [&](std::uint64_t m) {
      const double before = GridAt(m - 1);
      return problem_.Ends(before, before + step_);
    };
    std::uint64_t notEnded = n_, ended = n_ + 1;
    while (!endedBy(ended)) {
      if (ended - n_ >= kLongest) return kNoLimit;
      notEnded = ended;
      ended = n_ + 2 * (ended - n_);
    }
    while (ended - notEnded > 1) {
      const std::uint64_t middle = notEnded + (ended - notEnded) / 2;
      (endedBy(middle) ? ended : notEnded) = middle;
    }
    return ended;
  }

  // The rest of the grid, from here to the march's end, cut into chunks that
  // the threads take in step order and search each on its own. A chunk's
  // first point is the last of the chunk before, searched twice: harmless,
  // as both report the same stop there. The last chunk runs without a limit,
  // so some chunk always reports the stop or the end.
  Outcome SearchInParallel() {
    const std::uint64_t end = std::min(EndStep(), n_ + kLongest);
    const std::uint64_t chunks = kChunksPerThread * threads_;
    const std::uint64_t span = (end - n_) / chunks + 1;
    std::vector<Outcome> outcomes(chunks);
    std::vector<std::uint64_t> works(chunks, 0), jumps(chunks, 0), evaluations(chunks, 0);
    std::vector<double> starts(chunks);
    for (std::uint64_t i = 0; i < chunks && n_ + i * span < end; ++i)
      starts[i] = GridAt(n_ + i * span);
    std::atomic<std::uint64_t> next{0};
    std::atomic<std::uint64_t> firstEvent{kNoLimit};
    const auto searchChunks = [&] {
      for (std::uint64_t i = next++; i < chunks; i = next++) {
        const std::uint64_t first = n_ + i * span;
        if (first >= end || first >= firstEvent.load(std::memory_order_relaxed)) return;
        const bool last = i + 1 == chunks || first + span >= end;
        MarchSearch chunk(problem_, step_, first, starts[i], last ? kNoLimit : first + span,
                          &firstEvent);
        outcomes[i] = chunk.Search();
        works[i] = chunk.work_;
        jumps[i] = chunk.jumps_;
        evaluations[i] = chunk.evaluations_;
        const How how = outcomes[i].how;
        if (how == How::kStopped || how == How::kEnded) LowerTo(firstEvent, outcomes[i].n);
      }
    };
    std::vector<std::thread> helpers;
    try {
      for (unsigned t = 1; t < threads_; ++t) helpers.emplace_back(searchChunks);
    } catch (const std::system_error&) {  // no more threads to be had: this one does the rest
    }
    searchChunks();
    for (std::thread& helper : helpers) helper.join();
    for (std::uint64_t i = 0; i < chunks; ++i) {
      work_ += works[i];
      jumps_ += jumps[i];
      evaluations_ += evaluations[i];
      const How how = outcomes[i].how;
      if (how == How::kStopped || how == How::kEnded) return outcomes[i];
    }
    return {};  // not reached: the last chunk searched reports the stop or the end
  }

  static void LowerTo(std::atomic<std::uint64_t>& value, std::uint64_t to) {
    std::uint64_t seen = value.load();
    while (to < seen && !value.compare_exchange_weak(seen, to)) {
    }
  }

  const Problem& problem_;
  const double step_;
  const unsigned threads_;
  const std::uint64_t limit_ = kNoLimit;
  const std::atomic<std::uint64_t>* const firstEvent_ = nullptr;
  const std::uint64_t first_ = 0;  // the step the search starts at
  std::uint64_t n_ = 0;
  double x_;
  RunningSums sums_;
  Sample sample_{};
  std::uint64_t work_ = 0;
  std::uint64_t jumps_ = 0;
  std::uint64_t evaluations_ = 0;
  std::uint64_t lastJump_ = kFirstJump / kGrowth;
  std::uint64_t walkTo_ = 0;
  std::uint64_t through_ = kShortestUnpaidJump;
  Behind behind_;
  Ahead ahead_;
};

template <typename Problem>
MarchEnd<typename Problem::Sample> SearchMarch(const Problem& problem, double start, double step,
                                               unsigned threads = 1) {
  return MarchSearch<Problem>(problem, start, step, threads).Run();
}
