// Standard steel pipe by nominal size and schedule, for sizing a line from
// the pipe an engineer can actually buy: the inside diameter of each size is
// its outside diameter less twice its nominal wall thickness. The dimensions
// are the published ones (pipe_schedule_data.cpp names the source), held in
// whole thousandths of an inch as published, so every inside diameter is
// exact and reads back as the same typed diameter on every machine.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The schedules in the order they are listed: carbon steel 10, 40, 80, 160,
// STD, XS, XXS; stainless 5S, 10S, 40S, 80S.
inline constexpr std::size_t kScheduleCount = 11;
const std::array<std::string_view, kScheduleCount>& ScheduleNames();

// One nominal size: its outside diameter and the wall thickness of each
// schedule in ScheduleNames() order, 0 where the schedule has no such size.
struct NominalPipe {
  std::string_view nominal;  // nominal pipe size: "1/8", "1-1/2", "48"
  int outsideMils;           // thousandths of an inch
  std::array<int, kScheduleCount> wallMils;
};

// The published sizes, smallest first, and where they come from.
const std::vector<NominalPipe>& NominalPipes();
std::string_view PipeScheduleSource();

// Inside diameter = outside diameter - 2 x wall, thousandths of an inch.
constexpr int InsideMils(int outsideMils, int wallMils) {
  return outsideMils - 2 * wallMils;
}

// One size of one schedule.
struct PipeSize {
  std::string_view schedule;  // as in ScheduleNames(): "40", "STD", "10S"
  std::string_view nominal;
  int outsideMils;
  int wallMils;
  int InsideMils() const { return ::InsideMils(outsideMils, wallMils); }
  double InsideDiameter() const { return InsideMils() / 1000.0; }  // in.
};

// The schedule a user means, in any letter case ("std", "40s"); throws
// InputError naming the schedules for a name that is none of them.
std::string_view FindSchedule(std::string_view name);

// "schedule 40", "schedule 10S"; the weight classes stand alone: "STD".
std::string ScheduleLabel(std::string_view schedule);

// "NPS 6 schedule 40", "NPS 48 STD".
std::string PipeLabel(const PipeSize& size);

// The sizes of one schedule, smallest first (the inside diameters rise with
// the nominal size in every schedule).
std::vector<PipeSize> ScheduleSizes(std::string_view schedule);

// Every size of every schedule, schedule after schedule in listing order,
// each schedule smallest first: the rows of a schedules listing.
std::vector<PipeSize> ScheduleListing();
