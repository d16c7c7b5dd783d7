// Dialog units to terminal cells.
#include "front/terminal/cell_layout.h"

namespace {

int Columns(int dialogUnits) {
  return (dialogUnits * 3 + 4) / 8;  // rounded to the nearest cell
}

int Rows(int dialogUnits) {
  return (dialogUnits + 4) / 8;
}

}  // namespace

CellRect ClientCells(const DialogLayout& layout) {
  return {0, 0, Rows(layout.height), Columns(layout.width)};
}

CellRect ControlCells(const DialogControl& control) {
  return {Rows(control.top), Columns(control.left), 1, Columns(control.width)};
}

int EditTextColumns(const DialogControl& control) {
  const int border = (control.style & WS_BORDER) != 0 ? 2 : 0;
  return ControlCells(control).columns - border;
}
