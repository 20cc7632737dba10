#include "ui/frm_main_layout.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

#include "ui/twips.h"

namespace {

using B = BoxArray;

const GroupLayout kGroups[] = {
    {B::General, "frameGenInfo", "txtGeneral", "lblGeneral", TwipRect(120, 120, 8550, 975)},
    {B::Gas, "frameGas", "txtGas", "lblGas", TwipRect(120, 1200, 4000, 1935)},
    {B::Pipe, "framePipe", "txtPipe", "lblPipe", TwipRect(4500, 1200, 4000, 1935)},
    {B::Input, "frameInitial", "txtInput", "lblInputs", TwipRect(120, 3240, 4000, 3615)},
    {B::Exit, "frameExit", "txtExit", "lblExit", TwipRect(4500, 3240, 4000, 3615)},
    {B::PressureLoss, "framePressureLoss", "txtPressureLoss", "lblPressureLoss",
     TwipRect(120, 6960, 3975, 1095)},
    {B::Stagnation, "frameStagnation", "txtStagnation", "lblStagnation",
     TwipRect(4500, 6960, 4000, 1095)},
    {B::Limiting, "frameLimiting", "txtLimiting", "lblLimiting", TwipRect(120, 8160, 4000, 1455)},
    {B::Check, "frameCheck", "txtCheck", "lblCheck", TwipRect(4500, 8160, 3975, 1455)},
};

// Most rows: the label at the group's left edge, a one-line box to its right.
FieldLayout Row(BoxArray array, int index, int labelTop, int labelWidth, int labelHeight,
                int boxTop, int boxLeft = 2200, int boxWidth = 1500) {
  return {{array, index},
          TwipRect(120, labelTop, labelWidth, labelHeight),
          TwipRect(boxLeft, boxTop, boxWidth, 285)};
}

const FieldLayout kFields[] = {
    {{B::General, 0}, TwipRect(120, 450, 1395, 405), TwipRect(1680, 300, 6615, 525)},
    Row(B::Gas, 0, 300, 855, 285, 300),
    Row(B::Gas, 1, 660, 1695, 285, 660),
    Row(B::Gas, 2, 1020, 855, 285, 1020),
    Row(B::Pipe, 0, 300, 1575, 285, 300),
    Row(B::Pipe, 1, 660, 1575, 285, 660),
    Row(B::Pipe, 2, 1020, 1575, 420, 1080),
    Row(B::Pipe, 3, 1500, 1575, 285, 1500),
    Row(B::Input, 0, 300, 1575, 285, 300),
    Row(B::Input, 1, 660, 2055, 285, 660),
    Row(B::Input, 2, 1020, 2055, 285, 1020),
    Row(B::Input, 3, 1380, 2055, 285, 1380),
    Row(B::Input, 4, 1740, 2055, 285, 1740),
    Row(B::Input, 5, 2100, 2055, 285, 2100),
    Row(B::Input, 6, 2460, 2055, 285, 2460),
    Row(B::Input, 7, 2820, 2055, 285, 2820),
    Row(B::Input, 8, 3180, 2055, 285, 3180),
    Row(B::Exit, 0, 300, 1575, 285, 300),
    Row(B::Exit, 1, 660, 2055, 285, 660),
    Row(B::Exit, 2, 1020, 2055, 285, 1020),
    Row(B::Exit, 3, 1380, 2055, 285, 1380),
    Row(B::Exit, 4, 1740, 2055, 285, 1740),
    Row(B::Exit, 5, 2100, 2055, 285, 2100),
    Row(B::Exit, 6, 2460, 2055, 285, 2460),
    Row(B::Exit, 7, 2820, 2055, 285, 2820),
    Row(B::Exit, 8, 3180, 2055, 285, 3180),
    Row(B::PressureLoss, 0, 300, 2055, 285, 300, 2200, 1575),
    Row(B::PressureLoss, 1, 660, 2055, 285, 660, 2200, 1575),
    Row(B::Stagnation, 0, 300, 2055, 255, 240),
    Row(B::Stagnation, 1, 660, 2055, 255, 600),
    Row(B::Limiting, 0, 360, 2055, 285, 300),
    Row(B::Limiting, 1, 660, 2055, 285, 660),
    Row(B::Check, 0, 300, 1575, 285, 300, 2160),
    Row(B::Check, 1, 660, 1575, 285, 660, 2160),
    Row(B::Check, 2, 1020, 1575, 285, 1020, 2160),
};

template <typename T, std::size_t n, typename Key>
const T& Find(const T (&rows)[n], Key T::*key, const Key& wanted) {
  const auto* row = std::find_if(rows, rows + n, [&](const T& r) { return r.*key == wanted; });
  if (row == rows + n) throw std::logic_error("a part of the main window has no layout");
  return *row;
}

}  // namespace

const GroupLayout& GroupLayoutOf(BoxArray array) {
  return Find(kGroups, &GroupLayout::array, array);
}

const FieldLayout& FieldLayoutOf(FieldRef ref) {
  return Find(kFields, &FieldLayout::ref, ref);
}
