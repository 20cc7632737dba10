// The fitting table. Source: Crane Co., "Flow of Fluids Through Valves,
// Fittings, and Pipe", Technical Paper No. 410 (1988 printing and later),
// Appendix A, representative resistance coefficients K: valves and fittings as
// (L/D) fT, fT the friction factor in the zone of complete turbulence, which
// is the rough-pipe law the calculation uses, so the run's own f stands for
// fT; pipe entrances and the exit as fixed K.
//
// The exit (K = 1.0, the velocity head given up in the receiver) belongs in a
// total-K balance from vessel to vessel. The calculation's exit pressure is the
// static pressure at the pipe's end, which a subsonic jet shares with the
// receiver, so counting the exit as length is conservative: it lowers the flow
// a line can pass.
#include "engineering/fittings.h"

namespace {

constexpr char kCrane[] = "Crane TP-410, Appendix A: K = (L/D) fT";
constexpr char kCraneFixed[] = "Crane TP-410, Appendix A";

constexpr std::array<FittingData, kFittingCount> kFittings{{
    {"elbow-90", "90-degree standard elbow", 0, 30, kCrane},
    {"elbow-45", "45-degree standard elbow", 0, 16, kCrane},
    {"bend-180", "180-degree close return bend", 0, 50, kCrane},
    {"tee-run", "standard tee, flow through run", 0, 20, kCrane},
    {"tee-branch", "standard tee, flow through branch", 0, 60, kCrane},
    {"gate-valve", "gate valve, fully open", 0, 8, kCrane},
    {"globe-valve", "globe valve, fully open", 0, 340, kCrane},
    {"ball-valve", "ball valve, full port, fully open", 0, 3, kCrane},
    {"check-swing", "swing check valve", 0, 100, kCrane},
    {"entrance-square", "pipe entrance, flush, square-edged", 0.5, 0, kCraneFixed},
    {"entrance-rounded", "pipe entrance, rounded, r/d >= 0.15", 0.04, 0, kCraneFixed},
    {"entrance-projecting", "pipe entrance, inward projecting", 0.78, 0, kCraneFixed},
    {"exit", "pipe exit into a large vessel", 1.0, 0, kCraneFixed},
}};

}  // namespace

const std::array<FittingData, kFittingCount>& FittingTable() {
  return kFittings;
}
