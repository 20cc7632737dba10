// Where the main window puts each group and each field: group rectangles and
// object names, and the label and box rectangles of every field inside its
// group. Rows are looked up by their key, so a row can never describe the
// field or group that merely happens to stand at its position.
#pragma once

#include <QRect>

#include "calc/run_record.h"

struct GroupLayout {
  BoxArray array;
  const char* frame;        // object name of the group box
  const char* boxPrefix;    // object names of its boxes: prefix + "_" + index
  const char* labelPrefix;  // and of their labels
  QRect geometry;           // in the window
};

// Label and box rectangles of one field inside its group.
struct FieldLayout {
  FieldRef ref;
  QRect label;
  QRect box;
};

// Both throw std::logic_error for a group or field that has no row.
const GroupLayout& GroupLayoutOf(BoxArray array);
const FieldLayout& FieldLayoutOf(FieldRef ref);
