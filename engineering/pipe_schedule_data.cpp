// Nominal pipe sizes 1/8 to 48: outside diameter and nominal wall thickness
// of each schedule, in thousandths of an inch, from
//   ASME B36.10M, Welded and Seamless Wrought Steel Pipe: schedules 10, 40,
//     80 and 160 and the weight classes STD, XS and XXS;
//   ASME B36.19M, Stainless Steel Pipe: schedules 5S, 10S, 40S and 80S.
// A size a schedule does not list has 0. Sizes above 24 are listed only in
// the schedules whose walls are given here for them (STD and XS to 48, 10 to
// 36, 40 at 32 to 36, 5S and 10S at 30).
#include <array>

#include "engineering/pipe_schedules.h"

namespace {

constexpr int kSizes = 36;

// clang-format off
constexpr std::array<NominalPipe, kSizes> kPipes{{
    //                 10    40    80   160   STD    XS   XXS    5S   10S   40S   80S
    {"1/8",     405, {{ 49,   68,   95,    0,   68,   95,    0,    0,   49,   68,   95}}},
    {"1/4",     540, {{ 65,   88,  119,    0,   88,  119,    0,    0,   65,   88,  119}}},
    {"3/8",     675, {{ 65,   91,  126,    0,   91,  126,    0,    0,   65,   91,  126}}},
    {"1/2",     840, {{ 83,  109,  147,  188,  109,  147,  294,   65,   83,  109,  147}}},
    {"3/4",    1050, {{ 83,  113,  154,  219,  113,  154,  308,   65,   83,  113,  154}}},
    {"1",      1315, {{109,  133,  179,  250,  133,  179,  358,   65,  109,  133,  179}}},
    {"1-1/4",  1660, {{109,  140,  191,  250,  140,  191,  382,   65,  109,  140,  191}}},
    {"1-1/2",  1900, {{109,  145,  200,  281,  145,  200,  400,   65,  109,  145,  200}}},
    {"2",      2375, {{109,  154,  218,  344,  154,  218,  436,   65,  109,  154,  218}}},
    {"2-1/2",  2875, {{120,  203,  276,  375,  203,  276,  552,   83,  120,  203,  276}}},
    {"3",      3500, {{120,  216,  300,  438,  216,  300,  600,   83,  120,  216,  300}}},
    {"3-1/2",  4000, {{120,  226,  318,    0,  226,  318,    0,   83,  120,  226,  318}}},
    {"4",      4500, {{120,  237,  337,  531,  237,  337,  674,   83,  120,  237,  337}}},
    {"5",      5563, {{134,  258,  375,  625,  258,  375,  750,  109,  134,  258,  375}}},
    {"6",      6625, {{134,  280,  432,  719,  280,  432,  864,  109,  134,  280,  432}}},
    {"8",      8625, {{148,  322,  500,  906,  322,  500,  875,  109,  148,  322,  500}}},
    {"10",    10750, {{165,  365,  594, 1125,  365,  500, 1000,  134,  165,  365,  500}}},
    {"12",    12750, {{180,  406,  688, 1312,  375,  500, 1000,  156,  180,  375,  500}}},
    {"14",    14000, {{250,  438,  750, 1406,  375,  500,    0,  156,  188,  375,  500}}},
    {"16",    16000, {{250,  500,  844, 1594,  375,  500,    0,  165,  188,  375,  500}}},
    {"18",    18000, {{250,  562,  938, 1781,  375,  500,    0,  165,  188,  375,  500}}},
    {"20",    20000, {{250,  594, 1031, 1969,  375,  500,    0,  188,  218,  375,  500}}},
    {"22",    22000, {{250,    0, 1125, 2125,  375,  500,    0,  188,  218,    0,    0}}},
    {"24",    24000, {{250,  688, 1219, 2344,  375,  500,    0,  218,  250,  375,  500}}},
    {"26",    26000, {{312,    0,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
    {"28",    28000, {{312,    0,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
    {"30",    30000, {{312,    0,    0,    0,  375,  500,    0,  250,  312,    0,    0}}},
    {"32",    32000, {{312,  688,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
    {"34",    34000, {{312,  688,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
    {"36",    36000, {{312,  750,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
    {"38",    38000, {{  0,    0,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
    {"40",    40000, {{  0,    0,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
    {"42",    42000, {{  0,    0,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
    {"44",    44000, {{  0,    0,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
    {"46",    46000, {{  0,    0,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
    {"48",    48000, {{  0,    0,    0,    0,  375,  500,    0,    0,    0,    0,    0}}},
}};
// clang-format on

// Within every schedule the inside diameter rises with the nominal size, so
// "the next smaller size" and "the next smaller inside diameter" are the same
// pipe.
constexpr bool InsideDiametersRise() {
  for (std::size_t s = 0; s < kScheduleCount; ++s) {
    int previous = 0;
    for (const NominalPipe& pipe : kPipes) {
      const int wall = pipe.wallMils[s];
      if (wall == 0) continue;
      const int inside = InsideMils(pipe.outsideMils, wall);
      if (inside <= previous) return false;
      previous = inside;
    }
  }
  return true;
}
static_assert(InsideDiametersRise());

}  // namespace

const std::vector<NominalPipe>& NominalPipes() {
  static const std::vector<NominalPipe> pipes(kPipes.begin(), kPipes.end());
  return pipes;
}

std::string_view PipeScheduleSource() {
  return "ASME B36.10M (schedules 10, 40, 80, 160, STD, XS, XXS) and ASME B36.19M "
         "(schedules 5S, 10S, 40S, 80S): outside diameter less twice the nominal wall";
}
