// One run of the calculator: the 35 texts of the main window's boxes, grouped
// by box array exactly as on the window. A text is the field's value; numbers
// are derived from it when needed (numtext/numtext.h) and results are written
// back as formatted texts.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

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

struct FieldRef {
  BoxArray array;
  int index;
  bool operator==(const FieldRef& o) const { return array == o.array && index == o.index; }
};

// Caption and role of each of the 35 fields: the one table that the window's
// labels, the report and the messages of the calculation all read.
struct FieldInfo {
  FieldRef ref;
  std::string_view caption;
  bool isResult;
};

// The 35 fields in group-walk order: arrays as kBoxArrays, indices ascending.
const std::array<FieldInfo, 35>& FieldTable();
const FieldInfo& Field(FieldRef ref);
std::string_view Caption(FieldRef ref);

// The ten inputs that hold numbers: all inputs but the run description and
// the gas type.
bool IsNumericInput(FieldRef ref);

// Caption of the group box that holds an array on the main window.
std::string_view GroupCaption(BoxArray array);

// Number of boxes in an array (1, 3, 4, 9, 9, 2, 2, 2, 3).
std::size_t BoxCount(BoxArray array);

std::string& Text(RunRecord& run, FieldRef ref);
const std::string& Text(const RunRecord& run, FieldRef ref);

// Empties the 23 result fields; the 12 inputs keep their texts.
void ClearResults(RunRecord& run);

// The default run with its numeric texts written in the given symbols, so that
// "600,000" means six hundred thousand in every locale.
RunRecord DefaultRunRecord(const NumberSymbols& symbols);
