#include "cli/fields.h"

namespace {

using B = BoxArray;

const std::array<CliField, kFieldCount> kCliFields{{
    {"desc", {B::General, 0}, ""},
    {"gas", {B::Gas, 0}, ""},
    {"mw", {B::Gas, 1}, "lb/lb-mole"},
    {"k", {B::Gas, 2}, "-"},
    {"d", {B::Pipe, 0}, "in."},
    {"e", {B::Pipe, 1}, "ft"},
    {"l", {B::Pipe, 2}, "ft"},
    {"f", {B::Pipe, 3}, "-"},
    {"p1", {B::Input, 0}, "psia"},
    {"t1", {B::Input, 1}, "F"},
    {"w", {B::Input, 2}, "lb/hr"},
    {"z1", {B::Input, 3}, "-"},
    {"rho1", {B::Input, 4}, "lb/cf"},
    {"sv1", {B::Input, 5}, "cf/lb"},
    {"v1", {B::Input, 6}, "ft/s"},
    {"cs1", {B::Input, 7}, "ft/s"},
    {"m1", {B::Input, 8}, "-"},
    {"p2", {B::Exit, 0}, "psia"},
    {"t2", {B::Exit, 1}, "F"},
    {"w2", {B::Exit, 2}, "lb/hr"},
    {"z2", {B::Exit, 3}, "-"},
    {"rho2", {B::Exit, 4}, "lb/cf"},
    {"sv2", {B::Exit, 5}, "cf/lb"},
    {"v2", {B::Exit, 6}, "ft/s"},
    {"cs2", {B::Exit, 7}, "ft/s"},
    {"m2", {B::Exit, 8}, "-"},
    {"dpc", {B::PressureLoss, 0}, "psi"},
    {"dpi", {B::PressureLoss, 1}, "psi"},
    {"t0", {B::Stagnation, 0}, "F"},
    {"p0", {B::Stagnation, 1}, "psia"},
    {"lmax", {B::Limiting, 0}, "ft"},
    {"wmax", {B::Limiting, 1}, "lb/hr"},
    {"fld1", {B::Check, 0}, "-"},
    {"fld2", {B::Check, 1}, "-"},
    {"mchk", {B::Check, 2}, "-"},
}};

const CliField* ByUniqueCaption(std::string_view name) {
  const CliField* found = nullptr;
  for (const CliField& field : kCliFields) {
    if (Caption(field.ref) != name) continue;
    if (found) return nullptr;
    found = &field;
  }
  return found;
}

}  // namespace

const std::array<CliField, kFieldCount>& CliFields() {
  return kCliFields;
}

const CliField* FindField(std::string_view name) {
  for (const CliField& field : kCliFields) {
    if (field.key == name) return &field;
  }
  return ByUniqueCaption(name);
}
