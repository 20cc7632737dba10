// The command line's names for the fields of a run: one stable lower-case
// key per field, taken from the symbol the calculation uses, with its unit.
// Sonic velocities are "cs1"/"cs2" and friction parameters "fld1"/"fld2", so
// that no key differs from another only in letter case (C1 and c1).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "calc/run_record.h"

struct CliField {
  std::string_view key;
  FieldRef ref;
  std::string_view unit;  // "-" for dimensionless numbers, empty for free text
};

// The fields in the group-walk order of the run record.
const std::array<CliField, kFieldCount>& CliFields();

// A field by its key, or by its window caption where no other field has the
// same caption.
const CliField* FindField(std::string_view name);
