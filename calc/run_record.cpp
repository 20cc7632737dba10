#include "calc/run_record.h"

#include <cassert>

#include "calc/field_names.h"

namespace {

using B = BoxArray;

constexpr std::array<FieldInfo, kFieldCount> kFields{{
    {kDescription, "desc", "Run Description", "", false, {}},
    {kGasType, "gas", "Gas Type", "", false, {}},
    {kMolWeight, "mw", "Mol. Wt., lb/lb-mole", "lb/lb-mole", false, kInputPattern},
    {kRatioK, "k", "k, Cp/Cv", "-", false, kInputPattern},
    {kDiameter, "d", "Pipe Diameter, in.", "in.", false, kInputPattern},
    {kRoughness, "e", "Pipe Roughness, ft", "ft", false, kInputPattern},
    {kLength, "l", "Pipe Total Equivalent Length, ft", "ft", false, kInputPattern},
    {kFrictionFactor, "f", "Pipe Friction Factor", "-", true, kResultPattern6},
    {kPressure1, "p1", "Initia, psia", "psia", false, kInputPattern},
    {kTemperature1, "t1", "Initial Temp, F", "F", false, kInputPattern},
    {kFlow, "w", "Flow Rate, lb/hr", "lb/hr", false, kInputPattern},
    {kZ1, "z1", "Initial Compressibility", "-", false, kInputPattern},
    {kDensity1, "rho1", "Initial Density, lb/cf", "lb/cf", true, kResultPattern6},
    {kSpecificVolume1, "sv1", "Initial Specific Volume, cf/lb", "cf/lb", true, kResultPattern6},
    {kVelocity1, "v1", "Initial Velocity, ft/s", "ft/s", true, kResultPattern6},
    {kSonicVelocity1, "cs1", "Initial Sonic Velocity, ft/s", "ft/s", true, kResultPattern6},
    {kMach1, "m1", "Initial Mach Number", "-", true, kResultPattern6},
    {kPressure2, "p2", "Exit Pressure, psia", "psia", true, kResultPattern2},
    {kTemperature2, "t2", "Exit Temperature, F", "F", true, kResultPattern2},
    {kFlow2, "w2", "Flow Rate, lb/hr", "lb/hr", true, kWholePattern},
    {kZ2, "z2", "Exit Compressibility", "-", false, kInputPattern},
    {kDensity2, "rho2", "Exit Density, lb/cf", "lb/cf", true, kResultPattern6},
    {kSpecificVolume2, "sv2", "Exit Specific Volume, cf/lb", "cf/lb", true, kResultPattern6},
    {kVelocity2, "v2", "Exit Velocity, ft/s", "ft/s", true, kResultPattern2},
    {kSonicVelocity2, "cs2", "Exit Sonic Velocity, ft/s", "ft/s", true, kResultPattern2},
    {kMach2, "m2", "Exit Mach Number", "-", true, kResultPattern6},
    {kCompressibleLoss, "dpc", "Compressible Pr. Loss, psi", "psi", true, kResultPattern6},
    {kIncompressibleLoss, "dpi", "Incompressible Pr. Loss, psi", "psi", true, kResultPattern6},
    {kStagnationTemperature, "t0", "Temperature, F", "F", true, kResultPattern2},
    {kStagnationPressure, "p0", "Pressure, psia", "psia", true, kResultPattern2},
    {kMaxLength, "lmax", "Max. Pipe Lenght, ft", "ft", true, kResultPattern2},
    {kMaxFlow, "wmax", "Max. Flow Rate, lb/hr", "lb/hr", true, kResultPattern2},
    {kFrictionParameter1, "fld1", "C1 = fL/D1", "-", true, kResultPattern6},
    {kFrictionParameter2, "fld2", "C2 = fL/D2", "-", true, kResultPattern6},
    {kMachCheck, "mchk", "Exit Mach Number", "-", true, kResultPattern6},
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

constexpr char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Keys are lower case and no two are the same.
constexpr bool KeysDistinctAndLowerCase() {
  for (std::size_t a = 0; a < kFieldCount; ++a) {
    for (char c : kFields[a].key) {
      if (c != Lower(c)) return false;
    }
    for (std::size_t b = a + 1; b < kFieldCount; ++b) {
      if (kFields[a].key == kFields[b].key) return false;
    }
  }
  return true;
}
static_assert(KeysDistinctAndLowerCase());

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

std::size_t FieldIndex(FieldRef ref) {
  const auto a = static_cast<std::size_t>(ref.array);
  assert(ref.index >= 0 && static_cast<std::size_t>(ref.index) < kBoxCounts.at(a));
  return kFirstField.at(a) + static_cast<std::size_t>(ref.index);
}

const FieldInfo& Field(FieldRef ref) {
  return kFields.at(FieldIndex(ref));
}

std::string_view Caption(FieldRef ref) {
  return Field(ref).caption;
}

std::string_view Key(FieldRef ref) {
  return Field(ref).key;
}

const FieldInfo* FieldByKey(std::string_view key) {
  for (const FieldInfo& field : kFields) {
    if (field.key == key) return &field;
  }
  return nullptr;
}

std::vector<const FieldInfo*> FieldsNamed(std::string_view name) {
  if (const FieldInfo* field = FieldByKey(name)) return {field};
  std::vector<const FieldInfo*> fields;
  for (const FieldInfo& field : kFields) {
    if (field.caption == name) fields.push_back(&field);
  }
  return fields;
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
  return !Field(ref).isResult && ref.array != B::General && !(ref == kGasType);
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
