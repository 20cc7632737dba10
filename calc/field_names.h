// Every field of a run by the name the code uses for it, one constant each,
// so that no code addresses a field by its array and index. The symbols of
// the formulas (k, MW, P1, ...) give the names; the command line's keys, the
// captions and the units are in the field table (calc/run_record.cpp).
#pragma once

#include "calc/run_record.h"

// General information and gas.
inline constexpr FieldRef kDescription{BoxArray::General, 0};
inline constexpr FieldRef kGasType{BoxArray::Gas, 0};
inline constexpr FieldRef kMolWeight{BoxArray::Gas, 1};
inline constexpr FieldRef kRatioK{BoxArray::Gas, 2};

// Pipe.
inline constexpr FieldRef kDiameter{BoxArray::Pipe, 0};
inline constexpr FieldRef kRoughness{BoxArray::Pipe, 1};
inline constexpr FieldRef kLength{BoxArray::Pipe, 2};
inline constexpr FieldRef kFrictionFactor{BoxArray::Pipe, 3};

// Initial properties: four inputs, then the inlet state.
inline constexpr FieldRef kPressure1{BoxArray::Input, 0};
inline constexpr FieldRef kTemperature1{BoxArray::Input, 1};
inline constexpr FieldRef kFlow{BoxArray::Input, 2};
inline constexpr FieldRef kZ1{BoxArray::Input, 3};
inline constexpr FieldRef kDensity1{BoxArray::Input, 4};
inline constexpr FieldRef kSpecificVolume1{BoxArray::Input, 5};
inline constexpr FieldRef kVelocity1{BoxArray::Input, 6};
inline constexpr FieldRef kSonicVelocity1{BoxArray::Input, 7};
inline constexpr FieldRef kMach1{BoxArray::Input, 8};

// Exit properties: Z2 is the one input among them.
inline constexpr FieldRef kPressure2{BoxArray::Exit, 0};
inline constexpr FieldRef kTemperature2{BoxArray::Exit, 1};
inline constexpr FieldRef kFlow2{BoxArray::Exit, 2};
inline constexpr FieldRef kZ2{BoxArray::Exit, 3};
inline constexpr FieldRef kDensity2{BoxArray::Exit, 4};
inline constexpr FieldRef kSpecificVolume2{BoxArray::Exit, 5};
inline constexpr FieldRef kVelocity2{BoxArray::Exit, 6};
inline constexpr FieldRef kSonicVelocity2{BoxArray::Exit, 7};
inline constexpr FieldRef kMach2{BoxArray::Exit, 8};

// Pressure losses, stagnation state, limiting values and the check.
inline constexpr FieldRef kCompressibleLoss{BoxArray::PressureLoss, 0};
inline constexpr FieldRef kIncompressibleLoss{BoxArray::PressureLoss, 1};
inline constexpr FieldRef kStagnationTemperature{BoxArray::Stagnation, 0};
inline constexpr FieldRef kStagnationPressure{BoxArray::Stagnation, 1};
inline constexpr FieldRef kMaxLength{BoxArray::Limiting, 0};
inline constexpr FieldRef kMaxFlow{BoxArray::Limiting, 1};
inline constexpr FieldRef kFrictionParameter1{BoxArray::Check, 0};  // C1 = fL/D of the pipe
inline constexpr FieldRef kFrictionParameter2{BoxArray::Check, 1};  // C2 = F(k, M1, M2) reached
inline constexpr FieldRef kMachCheck{BoxArray::Check, 2};
