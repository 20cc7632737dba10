// One run of the calculator: the 35 texts of the main window's boxes, grouped
// by box array exactly as on the window. A text is the field's value; numbers
// are derived from it when needed (numtext/numtext.h) and results are written
// back as formatted texts.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "numtext/numtext.h"

struct RunRecord {
  std::array<std::string, 1> general{""};
  std::array<std::string, 3> gas{"Steam", "18.02", "1.31"};
  std::array<std::string, 4> pipe{"6.0", "0.00015", "70.0", ""};
  std::array<std::string, 9> input{"740", "986", "600,000", "0.975", "", "", "", "", ""};
  std::array<std::string, 9> exit{"", "", "", "0.974", "", "", "", "", ""};
  std::array<std::string, 2> pressureLoss{"", ""};
  std::array<std::string, 2> stagnation{"", ""};
  std::array<std::string, 2> limiting{"", ""};
  std::array<std::string, 3> check{"", "", ""};

  bool operator==(const RunRecord& other) const;
  bool operator!=(const RunRecord& other) const { return !(*this == other); }
};

// The nine box arrays, in the order in which every walk over the groups visits
// them (run file, report).
enum class BoxArray { General, Gas, Pipe, Input, Exit, PressureLoss, Stagnation, Limiting, Check };
inline constexpr std::size_t kBoxArrayCount = 9;
inline constexpr std::array<BoxArray, kBoxArrayCount> kBoxArrays{
    BoxArray::General,    BoxArray::Gas,      BoxArray::Pipe,
    BoxArray::Input,      BoxArray::Exit,     BoxArray::PressureLoss,
    BoxArray::Stagnation, BoxArray::Limiting, BoxArray::Check};

// Number of boxes in each array, in kBoxArrays order, as the record holds them.
inline constexpr std::array<std::size_t, kBoxArrayCount> kBoxCounts{
    std::tuple_size_v<decltype(RunRecord::general)>,
    std::tuple_size_v<decltype(RunRecord::gas)>,
    std::tuple_size_v<decltype(RunRecord::pipe)>,
    std::tuple_size_v<decltype(RunRecord::input)>,
    std::tuple_size_v<decltype(RunRecord::exit)>,
    std::tuple_size_v<decltype(RunRecord::pressureLoss)>,
    std::tuple_size_v<decltype(RunRecord::stagnation)>,
    std::tuple_size_v<decltype(RunRecord::limiting)>,
    std::tuple_size_v<decltype(RunRecord::check)>};

// All fields of a run (35).
inline constexpr std::size_t kFieldCount = [] {
  std::size_t total = 0;
  for (std::size_t count : kBoxCounts) total += count;
  return total;
}();

// The names of each group wherever a run is shown: the group box of the main
// window, the section of a run file and the banner of the printed report. Two
// section names are shorter than the captions ("Stagnation Properties",
// "Limiting Values"); the report names the first group "Run Identification".
struct GroupInfo {
  BoxArray array;
  std::string_view caption;
  std::string_view section;
  std::string_view banner;
};

// The nine groups in kBoxArrays order.
const std::array<GroupInfo, kBoxArrayCount>& GroupTable();
const GroupInfo& Group(BoxArray array);

struct FieldRef {
  BoxArray array;
  int index;
  bool operator==(const FieldRef& o) const { return array == o.array && index == o.index; }
};

// Name, caption, unit, role and display pattern of each of the 35 fields: the one table that
// the window's labels, the report, the messages of the calculation and every
// other front end read. The key is the field's stable lower-case name outside
// the window (command line, CSV and JSON columns), taken from the symbol the
// calculation uses; sonic velocities are "cs1"/"cs2" and friction parameters
// "fld1"/"fld2", so that no two keys differ only in letter case (C1 and c1).
struct FieldInfo {
  FieldRef ref;
  std::string_view key;
  std::string_view caption;
  std::string_view unit;  // US customary; "-" for a pure number, empty for free text
  bool isResult;
  // How the window writes the field's number: a result by its own pattern, a
  // typed input by the input pattern; empty for the free texts.
  DisplayPattern pattern;
};

// The fields in group-walk order: arrays as kBoxArrays, indices ascending.
const std::array<FieldInfo, kFieldCount>& FieldTable();
const FieldInfo& Field(FieldRef ref);
// Where a field stands in FieldTable().
std::size_t FieldIndex(FieldRef ref);
std::string_view Caption(FieldRef ref);
std::string_view Key(FieldRef ref);

// The field of a key; nothing for an unknown key.
const FieldInfo* FieldByKey(std::string_view key);

// The fields a user may mean by `name`: the field of that key, or else every
// field with that window caption (several where a caption is shared).
std::vector<const FieldInfo*> FieldsNamed(std::string_view name);

// The caption, followed by the group in brackets where another field has the
// same caption ("Flow Rate, lb/hr (Exit Properties)"), so that a message or a
// screen reader never leaves the user guessing which box is meant.
std::string DistinctName(FieldRef ref);

// The ten inputs that hold numbers: all inputs but the run description and
// the gas type.
bool IsNumericInput(FieldRef ref);

// The fields that hold numbers: the numeric inputs and every result.
bool HoldsNumber(FieldRef ref);

// Caption of the group box that holds an array on the main window.
std::string_view GroupCaption(BoxArray array);

// Number of boxes in an array.
std::size_t BoxCount(BoxArray array);

std::string& Text(RunRecord& run, FieldRef ref);
const std::string& Text(const RunRecord& run, FieldRef ref);

// Empties the 23 result fields; the 12 inputs keep their texts.
void ClearResults(RunRecord& run);

// The default run with its numeric texts written in the given symbols, so that
// "600,000" means six hundred thousand in every locale.
RunRecord DefaultRunRecord(const NumberSymbols& symbols);
