#include "engineering/pipe_schedules.h"

#include <cctype>

#include "engineering/input_error.h"

namespace {

constexpr std::array<std::string_view, kScheduleCount> kScheduleNames{
    "10", "40", "80", "160", "STD", "XS", "XXS", "5S", "10S", "40S", "80S"};

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::size_t ScheduleIndex(std::string_view schedule) {
  for (std::size_t s = 0; s < kScheduleCount; ++s) {
    if (kScheduleNames[s] == schedule) return s;
  }
  return kScheduleCount;
}

}  // namespace

const std::array<std::string_view, kScheduleCount>& ScheduleNames() {
  return kScheduleNames;
}

std::string_view FindSchedule(std::string_view name) {
  for (std::string_view schedule : kScheduleNames) {
    if (SameLetters(schedule, name)) return schedule;
  }
  std::string known;
  for (std::string_view schedule : kScheduleNames) {
    known += (known.empty() ? "" : ", ") + std::string(schedule);
  }
  throw InputError("\"" + std::string(name) + "\" is not a pipe schedule: choose one of " + known);
}

std::string ScheduleLabel(std::string_view schedule) {
  const bool numbered = !schedule.empty() && std::isdigit(static_cast<unsigned char>(schedule[0]));
  return (numbered ? "schedule " : "") + std::string(schedule);
}

std::string PipeLabel(const PipeSize& size) {
  return "NPS " + std::string(size.nominal) + " " + ScheduleLabel(size.schedule);
}

std::vector<PipeSize> ScheduleSizes(std::string_view schedule) {
  const std::size_t s = ScheduleIndex(schedule);
  std::vector<PipeSize> sizes;
  if (s == kScheduleCount) return sizes;
  for (const NominalPipe& pipe : NominalPipes()) {
    if (pipe.wallMils[s] != 0) {
      sizes.push_back({kScheduleNames[s], pipe.nominal, pipe.outsideMils, pipe.wallMils[s]});
    }
  }
  return sizes;
}

std::vector<PipeSize> ScheduleListing() {
  std::vector<PipeSize> rows;
  for (std::string_view schedule : kScheduleNames) {
    const std::vector<PipeSize> sizes = ScheduleSizes(schedule);
    rows.insert(rows.end(), sizes.begin(), sizes.end());
  }
  return rows;
}
