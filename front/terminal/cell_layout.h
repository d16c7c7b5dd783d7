// Where the dialog's controls stand on a terminal: dialog units scaled to character cells. A cell
// is taken as 8/3 dialog units wide and 8 high, which keeps the dialog's proportions and leaves
// every control's Japanese text room in its two-cell-wide characters.
#pragma once

#include "front/resources/dialog_layout.h"

struct CellRect {
  int row = 0, column = 0;  // from the top left of the dialog's client area
  int rows = 0, columns = 0;
};

// The client area: the dialog's size without its frame.
CellRect ClientCells(const DialogLayout& layout);

// A control's place in the client area; every control takes one row.
CellRect ControlCells(const DialogControl& control);

// Cells an edit control shows its text in, inside its border.
int EditTextColumns(const DialogControl& control);
