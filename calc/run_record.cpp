#include "calc/run_record.h"

#include <cassert>

namespace {

using B = BoxArray;

constexpr std::array<FieldInfo, kFieldCount> kFields{{
    {{B::General, 0}, "Run Description", false},
    {{B::Gas, 0}, "Gas Type", false},
    {{B::Gas, 1}, "Mol. Wt., lb/lb-mole", false},
    {{B::Gas, 2}, "k, Cp/Cv", false},
    {{B::Pipe, 0}, "Pipe Diameter, in.", false},
    {{B::Pipe, 1}, "Pipe Roughness, ft", false},
    {{B::Pipe, 2}, "Pipe Total Equivalent Length, ft", false},
    {{B::Pipe, 3}, "Pipe Friction Factor", true},
    {{B::Input, 0}, "Initia, psia", false},
    {{B::Input, 1}, "Initial Temp, F", false},
    {{B::Input, 2}, "Flow Rate, lb/hr", false},
    {{B::Input, 3}, "Initial Compressibility", false},
    {{B::Input, 4}, "Initial Density, lb/cf", true},
    {{B::Input, 5}, "Initial Specific Volume, cf/lb", true},
    {{B::Input, 6}, "Initial Velocity, ft/s", true},
    {{B::Input, 7}, "Initial Sonic Velocity, ft/s", true},
    {{B::Input, 8}, "Initial Mach Number", true},
    {{B::Exit, 0}, "Exit Pressure, psia", true},
    {{B::Exit, 1}, "Exit Temperature, F", true},
    {{B::Exit, 2}, "Flow Rate, lb/hr", true},
    {{B::Exit, 3}, "Exit Compressibility", false},
    {{B::Exit, 4}, "Exit Density, lb/cf", true},
    {{B::Exit, 5}, "Exit Specific Volume, cf/lb", true},
    {{B::Exit, 6}, "Exit Velocity, ft/s", true},
    {{B::Exit, 7}, "Exit Sonic Velocity, ft/s", true},
    {{B::Exit, 8}, "Exit Mach Number", true},
    {{B::PressureLoss, 0}, "Compressible Pr. Loss, psi", true},
    {{B::PressureLoss, 1}, "Incompressible Pr. Loss, psi", true},
    {{B::Stagnation, 0}, "Temperature, F", true},
    {{B::Stagnation, 1}, "Pressure, psia", true},
    {{B::Limiting, 0}, "Max. Pipe Lenght, ft", true},
    {{B::Limiting, 1}, "Max. Flow Rate, lb/hr", true},
    {{B::Check, 0}, "C1 = fL/D1", true},
    {{B::Check, 1}, "C2 = fL/D2", true},
    {{B::Check, 2}, "Exit Mach Number", true},
}};

// Offset of each array's first field in kFields.
constexpr std::array<std::size_t, kBoxArrayCount> kFirstField = [] {
  std::array<std::size_t, kBoxArrayCount> first{};
  for (std::size_t a = 1; a < kBoxArrayCount; ++a) first[a] = first[a - 1] + kBoxCounts[a - 1];
  return first;
}();

// kFields lists each array's boxes, in walk order and ascending index, at the
// offsets above.
constexpr bool FieldsInWalkOrder() {
  for (std::size_t a = 0; a < kBoxArrayCount; ++a) {
    for (std::size_t i = 0; i < kBoxCounts[a]; ++i) {
      const FieldRef ref = kFields[kFirstField[a] + i].ref;
      if (ref.array != kBoxArrays[a] || ref.index != static_cast<int>(i)) return false;
    }
  }
  return true;
}
static_assert(FieldsInWalkOrder());

constexpr std::array<GroupInfo, kBoxArrayCount> kGroups{{
    {B::General, "General Information", "General Information", "*** Run Identification ***"},
    {B::Gas, "Gas Characteristics", "Gas Characteristics", "*** Gas Characteristics ***"},
    {B::Pipe, "Pipe Characteristics", "Pipe Characteristics", "*** Pipe Characteristics ***"},
    {B::Input, "Initial Properties", "Initial Properties", "*** Initial Properties ***"},
    {B::Exit, "Exit Properties", "Exit Properties", "*** Exit Properties ***"},
    {B::PressureLoss, "Pressure Loss", "Pressure Loss", "*** Pressure Loss ***"},
    {B::Stagnation, "Stagnation Properties (V = 0)", "Stagnation Properties",
     "*** Stagnation Properties ***"},
    {B::Limiting, "Limiting Values (M2=1.0)", "Limiting Values",
     "*** Limiting Values (M2=1.0) ***"},
    {B::Check, "Calculation Check", "Calculation Check", "*** Calculation Check ***"},
}};

constexpr bool GroupsInWalkOrder() {
  for (std::size_t a = 0; a < kBoxArrayCount; ++a) {
    if (kGroups[a].array != kBoxArrays[a]) return false;
  }
  return true;
}
static_assert(GroupsInWalkOrder());

template <typename Run>
auto& TextOf(Run& run, FieldRef ref) {
  const auto i = static_cast<std::size_t>(ref.index);
  switch (ref.array) {
    case B::General:
      return run.general.at(i);
    case B::Gas:
      return run.gas.at(i);
    case B::Pipe:
      return run.pipe.at(i);
    case B::Input:
      return run.input.at(i);
    case B::Exit:
      return run.exit.at(i);
    case B::PressureLoss:
      return run.pressureLoss.at(i);
    case B::Stagnation:
      return run.stagnation.at(i);
    case B::Limiting:
      return run.limiting.at(i);
    case B::Check:
      break;
  }
  return run.check.at(i);
}

// Rewrites "." and "," of a default text into the given symbols.
std::string InSymbols(const std::string& text, const NumberSymbols& symbols) {
  std::string out;
  for (char c : text) {
    if (c == '.') {
      out += symbols.decimal;
    } else if (c == ',') {
      out += symbols.grouping;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

bool RunRecord::operator==(const RunRecord& o) const {
  return general == o.general && gas == o.gas && pipe == o.pipe && input == o.input &&
         exit == o.exit && pressureLoss == o.pressureLoss && stagnation == o.stagnation &&
         limiting == o.limiting && check == o.check;
}

const std::array<FieldInfo, kFieldCount>& FieldTable() {
  return kFields;
}

const std::array<GroupInfo, kBoxArrayCount>& GroupTable() {
  return kGroups;
}

const GroupInfo& Group(BoxArray array) {
  return kGroups.at(static_cast<std::size_t>(array));
}

std::size_t BoxCount(BoxArray array) {
  return kBoxCounts.at(static_cast<std::size_t>(array));
}

const FieldInfo& Field(FieldRef ref) {
  const auto a = static_cast<std::size_t>(ref.array);
  assert(ref.index >= 0 && static_cast<std::size_t>(ref.index) < kBoxCounts.at(a));
  return kFields.at(kFirstField.at(a) + static_cast<std::size_t>(ref.index));
}

std::string_view Caption(FieldRef ref) {
  return Field(ref).caption;
}

std::string DistinctName(FieldRef ref) {
  std::string name(Caption(ref));
  for (const FieldInfo& other : kFields) {
    if (other.caption == Caption(ref) && !(other.ref == ref)) {
      return name + " (" + std::string(GroupCaption(ref.array)) + ")";
    }
  }
  return name;
}

bool IsNumericInput(FieldRef ref) {
  return !Field(ref).isResult && ref.array != B::General && !(ref == FieldRef{B::Gas, 0});
}

bool HoldsNumber(FieldRef ref) {
  return Field(ref).isResult || IsNumericInput(ref);
}

std::string_view GroupCaption(BoxArray array) {
  return Group(array).caption;
}

std::string& Text(RunRecord& run, FieldRef ref) {
  return TextOf(run, ref);
}
const std::string& Text(const RunRecord& run, FieldRef ref) {
  return TextOf(run, ref);
}

void ClearResults(RunRecord& run) {
  for (const FieldInfo& field : kFields) {
    if (field.isResult) Text(run, field.ref).clear();
  }
}

RunRecord DefaultRunRecord(const NumberSymbols& symbols) {
  RunRecord run;
  for (const FieldInfo& field : kFields) {
    if (IsNumericInput(field.ref)) Text(run, field.ref) = InSymbols(Text(run, field.ref), symbols);
  }
  return run;
}
