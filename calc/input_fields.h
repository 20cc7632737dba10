// The fields the calculation and the maximum-flow search read their numbers
// from, by the symbols of the formulas.
#pragma once

#include "calc/run_record.h"

inline constexpr FieldRef kRatioK{BoxArray::Gas, 2};
inline constexpr FieldRef kMolWeight{BoxArray::Gas, 1};
inline constexpr FieldRef kPressure1{BoxArray::Input, 0};
inline constexpr FieldRef kTemperature1{BoxArray::Input, 1};
inline constexpr FieldRef kFlow{BoxArray::Input, 2};
inline constexpr FieldRef kZ1{BoxArray::Input, 3};
inline constexpr FieldRef kDiameter{BoxArray::Pipe, 0};
inline constexpr FieldRef kRoughness{BoxArray::Pipe, 1};
inline constexpr FieldRef kLength{BoxArray::Pipe, 2};
inline constexpr FieldRef kZ2{BoxArray::Exit, 3};
