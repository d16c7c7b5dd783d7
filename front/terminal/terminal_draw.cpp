// The dialog and the message box in character cells.
#include "front/terminal/terminal_draw.h"

#include <curses.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

#include "front/resources/texts.h"
#include "front/stand_in/stand_in_windows.h"
#include "front/terminal/cell_layout.h"
#include "front/terminal/edit_field.h"
#include "front/terminal/utf8_text.h"

namespace {

struct Frame {
  int top, left, rows, columns;
};

// Writes as much of `text` as fits in `columns` cells and on the screen; returns the cells used.
int Put(int row, int column, std::string_view text, int columns, attr_t attributes = A_NORMAL) {
  if (row < 0 || row >= LINES || column < 0) return 0;
  columns = std::min(columns, COLS - column);
  std::wstring shown;
  int used = 0;
  for (size_t at = 0; at < text.size();) {
    const Utf8Char c = DecodeUtf8(text, at);
    if (used + CharCells(c.code) > columns) break;
    used += CharCells(c.code);
    shown += static_cast<wchar_t>(ShownChar(c.code));
    at += c.length;
  }
  if (shown.empty()) return 0;
  attr_set(attributes, 0, nullptr);
  mvaddnwstr(row, column, shown.c_str(), static_cast<int>(shown.size()));
  attr_set(A_NORMAL, 0, nullptr);
  return used;
}

// Joins pieces by appending (GCC 12 warns falsely about `"literal" + std::string` at -O3).
std::string Joined(std::initializer_list<std::string_view> pieces) {
  std::string out;
  for (std::string_view piece : pieces)
    out.append(piece);
  return out;
}

std::string Repeated(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i)
    out += piece;
  return out;
}

// A box with a title in its top edge and an optional note in its bottom edge; inside is blank.
void DrawFrame(const Frame& f, std::string_view title, std::string_view note) {
  const int inner = std::max(f.columns - 2, 0);
  const std::string blank(static_cast<size_t>(inner), ' ');
  for (int r = 1; r + 1 < f.rows; ++r) {
    Put(f.top + r, f.left, "│", 1);
    Put(f.top + r, f.left + 1, blank, inner);
    Put(f.top + r, f.left + 1 + inner, "│", 1);
  }
  Put(f.top, f.left, Joined({"┌", Repeated("─", inner), "┐"}), f.columns);
  Put(f.top + f.rows - 1, f.left, Joined({"└", Repeated("─", inner), "┘"}), f.columns);
  Put(f.top, f.left + 2, Joined({" ", title, " "}), inner - 2);
  if (!note.empty()) Put(f.top + f.rows - 1, f.left + 2, Joined({" ", note, " "}), inner - 2);
}

// Centres `text` in `columns` cells between brackets: "[   text   ]".
std::string BracketedCentred(std::string_view text, int columns) {
  const int space = std::max(columns - 2 - TextCells(text), 0);
  return Joined({"[", std::string(static_cast<size_t>(space / 2), ' '), text,
                 std::string(static_cast<size_t>(space - space / 2), ' '), "]"});
}

void DrawControl(HWND control, bool focused, int top, int left) {
  const CellRect cells = ControlCells(*control->layout);
  const int row = top + cells.row;
  const int column = left + cells.column;
  switch (control->kind) {
    case ControlKind::kLabel:
      Put(row, column, control->text, cells.columns);
      break;
    case ControlKind::kEdit: {
      const int inside = EditTextColumns(*control->layout);
      Put(row, column, "[", 1);
      Put(row, column + 1, std::string(static_cast<size_t>(inside), ' '), inside, A_UNDERLINE);
      Put(row, column + 1, TextInView(control, inside), inside, A_UNDERLINE);
      Put(row, column + 1 + inside, "]", 1);
      break;
    }
    case ControlKind::kButton:
      Put(row, column, BracketedCentred(control->text, cells.columns), cells.columns,
          focused ? A_REVERSE : A_NORMAL);
      break;
    case ControlKind::kCheckBox: {
      const int box = Put(row, column, control->checkState != BST_UNCHECKED ? "[x] " : "[ ] ", 4);
      Put(row, column + box, control->text, cells.columns - box, focused ? A_REVERSE : A_NORMAL);
      break;
    }
  }
}

Frame Centred(int rows, int columns) {
  return {std::max((LINES - rows) / 2, 0), std::max((COLS - columns) / 2, 0), rows, columns};
}

void DrawDialog(HWND dialog) {
  const CellRect client = ClientCells(kConversionDialogLayout);
  const Frame frame = Centred(client.rows + 2, client.columns + 2);
  DrawFrame(frame, dialog->text, kTerminalKeysHint);
  for (const auto& control : dialog->controls) {
    if (control->layout != nullptr) {
      DrawControl(control.get(), control.get() == dialog->focus, frame.top + 1, frame.left + 1);
    }
  }
}

// The caret shows in the focused edit field only.
void PlaceCaret(HWND dialog) {
  HWND focus = dialog != nullptr ? dialog->focus : nullptr;
  if (focus == nullptr || focus->kind != ControlKind::kEdit) {
    curs_set(0);
    return;
  }
  const CellRect client = ClientCells(kConversionDialogLayout);
  const Frame frame = Centred(client.rows + 2, client.columns + 2);
  const CellRect cells = ControlCells(*focus->layout);
  const int row = frame.top + 1 + cells.row;
  const int column = frame.left + 1 + cells.column + 1 + CaretColumn(focus);
  if (row >= LINES || column >= COLS) {
    curs_set(0);
    return;
  }
  curs_set(1);
  move(row, column);
}

// Caption in the frame, the text, and OK with the focus: rows blank, text, blank, button.
void DrawMessageBox(const MessageBoxView& box) {
  const std::string ok = Joined({"[ ", kOkButton, " ]"});
  const int inner = std::max({TextCells(box.text), TextCells(ok), TextCells(box.caption) + 2}) + 4;
  const Frame frame = Centred(6, inner + 2);
  DrawFrame(frame, box.caption, "");
  Put(frame.top + 2, frame.left + 3, box.text, inner - 4);
  Put(frame.top + 4, frame.left + 1 + (inner - TextCells(ok)) / 2, ok, TextCells(ok), A_REVERSE);
}

}  // namespace

void DrawScreen(HWND dialog, const MessageBoxView* box) {
  erase();
  if (dialog != nullptr) DrawDialog(dialog);
  if (box != nullptr) {
    DrawMessageBox(*box);
    curs_set(0);
  } else {
    PlaceCaret(dialog);
  }
  refresh();
}
