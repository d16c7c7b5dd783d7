// The conversion dialog in a terminal. A cell is taken as 8/3 dialog units wide and 8 high, which
// keeps the dialog's proportions and leaves its Japanese texts room in their two-cell characters.
// The edit controls are one-line fields of a form that scroll sideways; the button and the check
// box are the view's own items; Tab goes through all four in template order. Nothing has the
// focus at first, while a posted form always has a current field: the view's focus decides
// whether keys go to the form and whether its cursor shows.
#include "front/terminal/terminal_dialog.h"

#include <form.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <exception>
#include <string>
#include <vector>

#include "front/dialog_model.h"
#include "front/resources/dialog_layout.h"
#include "front/resources/texts.h"
#include "front/terminal/paste_paths.h"
#include "front/terminal/terminal_session.h"

namespace {

int Columns(int dialogUnits) {
  return (dialogUnits * 3 + 4) / 8;  // rounded to the nearest cell
}

int Rows(int dialogUnits) {
  return (dialogUnits + 4) / 8;
}

// The dialog with its frame.
const int kDialogRows = Rows(kConversionDialogLayout.height) + 2;
const int kDialogColumns = Columns(kConversionDialogLayout.width) + 2;

// A stop in the Tab order: a path field of the form, the button or the check box.
struct Item {
  const DialogControl* control;
  FIELD* field = nullptr;
  std::string* text = nullptr;  // the model's text of a field, as the user left it
  int end = 0;  // the cells of that text: the form pads a field with blanks, its blanks too
};

struct Dialog {
  DialogModel model;
  std::vector<Item> items;
  int focus = -1;  // the focused item, none at first
  FORM* form = nullptr;
  WINDOW* client = nullptr;  // the form's window: the dialog inside its frame
  int top = 0, left = 0;     // the frame's top left corner
  bool shown = false;        // the terminal is large enough for the dialog
  bool ended = false;
};

// Text as the C library's wide characters (the locale is UTF-8); a byte that starts no character
// is one U+FFFD.
std::wstring Wide(std::string_view text) {
  std::wstring wide;
  std::mbstate_t state{};
  for (size_t at = 0; at < text.size();) {
    wchar_t c = 0;
    const size_t length = std::mbrtowc(&c, text.data() + at, text.size() - at, &state);
    const bool bad = length == static_cast<size_t>(-1) || length == static_cast<size_t>(-2);
    if (bad) state = {};
    wide += bad ? L'\uFFFD' : c;
    at += bad || length == 0 ? 1 : length;
  }
  return wide;
}

std::string Narrow(std::wstring_view text) {
  std::string narrow;
  std::mbstate_t state{};
  char bytes[MB_LEN_MAX];
  for (const wchar_t c : text) {
    const size_t length = std::wcrtomb(bytes, c, &state);
    if (length != static_cast<size_t>(-1)) narrow.append(bytes, length);
  }
  return narrow;
}

// Cells a character takes; one that cannot be shown is drawn as U+FFFD, in one.
int Cells(wchar_t c) {
  return std::max(wcwidth(c), wcwidth(L'\uFFFD'));
}

int Cells(std::string_view text) {
  int cells = 0;
  for (const wchar_t c : Wide(text))
    cells += Cells(c);
  return cells;
}

// Writes as much of `text` as fits in `cells` and in the window; returns the cells used.
int Put(WINDOW* window, int row, int column, std::string_view text, int cells,
        attr_t attributes = A_NORMAL) {
  if (row < 0 || row >= getmaxy(window) || column < 0) return 0;
  cells = std::min(cells, getmaxx(window) - column);
  std::wstring shown;
  int used = 0;
  for (wchar_t c : Wide(text)) {
    if (wcwidth(c) < 0) c = L'\uFFFD';
    if (used + Cells(c) > cells) break;
    used += Cells(c);
    shown += c;
  }
  wattr_set(window, attributes, 0, nullptr);
  mvwaddnwstr(window, row, column, shown.c_str(), static_cast<int>(shown.size()));
  wattr_set(window, A_NORMAL, 0, nullptr);
  return used;
}

// A box with a title in its top edge and a note in its bottom edge, blank inside.
void DrawFrame(WINDOW* window, int top, int left, int rows, int columns, std::string_view title,
               std::string_view note) {
  std::string edge, blank(static_cast<size_t>(columns - 2), ' ');
  for (int i = 2; i < columns; ++i)
    edge += "─";
  Put(window, top, left, std::string("┌").append(edge).append("┐"), columns);
  for (int row = top + 1; row < top + rows - 1; ++row)
    Put(window, row, left, std::string("│").append(blank).append("│"), columns);
  Put(window, top + rows - 1, left, std::string("└").append(edge).append("┘"), columns);
  Put(window, top, left + 2, std::string(" ").append(title).append(" "), columns - 4);
  if (!note.empty())
    Put(window, top + rows - 1, left + 2, std::string(" ").append(note).append(" "), columns - 4);
}

// A control's first cell on the screen.
int RowOf(const Dialog& d, const DialogControl& control) {
  return d.top + 1 + Rows(control.top);
}
int ColumnOf(const Dialog& d, const DialogControl& control) {
  return d.left + 1 + Columns(control.left);
}

// The button and the check box as they stand, the focused one in reverse; the fields' brackets,
// and a blank for a wide character the form has drawn in a field's last cell, half past its end.
void DrawItems(const Dialog& d) {
  for (size_t i = 0; i < d.items.size(); ++i) {
    const DialogControl& c = *d.items[i].control;
    const int row = RowOf(d, c), column = ColumnOf(d, c), width = Columns(c.width);
    const attr_t look = static_cast<int>(i) == d.focus ? A_REVERSE : A_NORMAL;
    if (c.kind == ControlKind::kEdit) {
      cchar_t last;
      wchar_t shown[CCHARW_MAX + 1] = {};
      attr_t attributes = 0;
      short pair = 0;
      mvwin_wch(stdscr, row, column + width - 2, &last);
      getcchar(&last, shown, &attributes, &pair, nullptr);
      if (wcwidth(shown[0]) > 1) Put(stdscr, row, column + width - 2, " ", 1, A_UNDERLINE);
      Put(stdscr, row, column, "[", 1);
      Put(stdscr, row, column + width - 1, "]", 1);
    } else if (c.kind == ControlKind::kCheckBox) {
      const int box = Put(stdscr, row, column, d.model.flat ? "[x] " : "[ ] ", 4);
      Put(stdscr, row, column + box, c.text, width - box, look);
    } else if (c.kind == ControlKind::kButton) {
      const int space = width - 2 - Cells(c.text);
      const std::string left(static_cast<size_t>(space / 2), ' ');
      const std::string right(static_cast<size_t>(space - space / 2), ' ');
      Put(stdscr, row, column, std::string("[").append(left).append(c.text).append(right) + "]",
          width, look);
    }
  }
}

// Everything anew, for the terminal's size: the dialog centred with the form posted in it, or the
// size it needs.
void Layout(Dialog& d) {
  unpost_form(d.form);
  erase();
  d.shown = COLS >= kDialogColumns && LINES >= kDialogRows;
  if (!d.shown) {
    std::string line = kTerminalTooSmallText.before;
    line.append(std::to_string(kDialogColumns)).append(" x ").append(std::to_string(kDialogRows));
    line.append(kTerminalTooSmallText.after);
    Put(stdscr, LINES / 2, std::max((COLS - Cells(line)) / 2, 0), line, COLS);
    return;
  }
  d.top = (LINES - kDialogRows) / 2;
  d.left = (COLS - kDialogColumns) / 2;
  DrawFrame(stdscr, d.top, d.left, kDialogRows, kDialogColumns, kCaption, kTerminalKeysHint);
  WINDOW* client = derwin(stdscr, kDialogRows - 2, kDialogColumns - 2, d.top + 1, d.left + 1);
  set_form_sub(d.form, client);
  if (d.client != nullptr) delwin(d.client);
  d.client = client;
  d.shown = client != nullptr && post_form(d.form) == E_OK;
  for (const DialogControl& c : kConversionDialogLayout.controls) {  // posting blanks the rest
    const int row = RowOf(d, c), column = ColumnOf(d, c);
    if (c.kind == ControlKind::kLabel) Put(stdscr, row, column, c.text, Columns(c.width));
  }
}

Item* Focused(Dialog& d) {
  return d.focus >= 0 ? &d.items[static_cast<size_t>(d.focus)] : nullptr;
}

int Request(Dialog& d, int request) {
  return form_driver_w(d.form, KEY_CODE_YES, static_cast<wchar_t>(request));
}

// The focused field's buffer as the form holds it, blanks after the text included.
std::wstring Buffer(Dialog& d, const Item& item) {
  Request(d, REQ_VALIDATION);  // brings the buffer up to date with what was typed
  return Wide(field_buffer(item.field, 0));
}

// The form scrolls a field by cells, and may start the view in the middle of a wide character,
// which it then fails to show: the view starts after that character instead.
void ShowWholeCharacters(Dialog& d, const Item& item) {
  int start = 0;
  for (const wchar_t c : Buffer(d, item)) {
    if (start >= d.form->begincol) break;
    start += Cells(c);
  }
  if (start == d.form->begincol) return;
  d.form->begincol = start;
  Request(d, REQ_INS_MODE);  // insert mode as before; the field is drawn anew
}

// The cursor to `column` of the focused field from its start, which scrolls the field as little
// as that needs: as much text shows before the cursor as fits.
void MoveTo(Dialog& d, const Item& item, int column) {
  Request(d, REQ_BEG_LINE);
  while (d.form->curcol < column && Request(d, REQ_NEXT_CHAR) == E_OK) {
  }
  ShowWholeCharacters(d, item);
}

void MoveFocus(Dialog& d, bool forward) {
  const int count = static_cast<int>(d.items.size());
  d.focus = d.focus < 0 ? (forward ? 0 : count - 1) : (d.focus + (forward ? 1 : count - 1)) % count;
  const Item& item = *Focused(d);
  if (item.field == nullptr || set_current_field(d.form, item.field) != E_OK) return;
  MoveTo(d, item, item.end);  // after the text, as entering a field puts the cursor
}

// One edit of the focused field: a typed character (request 0) or a request that moves the
// cursor or deletes. The cursor is kept within the text, so the text's end follows from the cells
// each side of the cursor. (The form's own end of a line is after its last character that is not
// a blank, and is found wrongly after wide characters.)
void Edit(Dialog& d, Item& item, int request, wchar_t typed) {
  const int at = d.form->curcol;
  if ((request == REQ_NEXT_CHAR || request == REQ_DEL_CHAR) && at >= item.end) return;
  if (request == 0 && wcwidth(typed) < 1) return;  // a control or a combining character
  int cellsAt = 0, cellsBefore = 0, column = 0;
  for (const wchar_t c : Buffer(d, item)) {
    if (column == at) cellsAt = Cells(c);
    if (column + Cells(c) == at) cellsBefore = Cells(c);
    column += Cells(c);
  }
  const int done = request == 0 ? form_driver_w(d.form, OK, typed) : Request(d, request);
  if (done != E_OK) return;
  if (request == 0) item.end += Cells(typed);
  if (request == REQ_DEL_PREV) item.end -= cellsBefore;
  if (request == REQ_DEL_CHAR) item.end -= cellsAt;
  // Text scrolled out to the left comes back when the field has room for it.
  if (d.form->begincol > 0 && item.end - d.form->begincol + 1 < Columns(item.control->width) - 2)
    MoveTo(d, item, d.form->curcol);
  ShowWholeCharacters(d, item);
  std::wstring text;
  column = 0;
  for (const wchar_t c : Buffer(d, item)) {
    if ((column += Cells(c)) > item.end) break;
    text += c;
  }
  *item.text = Narrow(text);
}

// Puts the model's text in a field; its end counts the blanks the text ends with, which the form
// does not tell from its padding.
void ShowText(Item& item) {
  set_field_buffer(item.field, 0, item.text->c_str());
  std::wstring held = Wide(field_buffer(item.field, 0));
  held.erase(held.find_last_not_of(L' ') + 1);
  const size_t blanks = item.text->size() - (item.text->find_last_not_of(' ') + 1);
  item.end = static_cast<int>(blanks);
  for (const wchar_t c : held)
    item.end += Cells(c);
}

// Waits for a key; ERR only when the dialog is to close.
int ReadKey(wint_t& c) {
  while (!CloseRequested()) {
    const int got = get_wch(&c);
    if (got != ERR) return got;
    if (TerminalHungUp()) RequestClose();
  }
  return ERR;
}

// The rest of a bracketed paste, in UTF-8. One whose end does not come after 25 empty waits is
// taken as it stands; keys inside it mean nothing.
std::string ReadPaste() {
  std::wstring text;
  for (int emptyWaits = 0; emptyWaits < 25 && !CloseRequested();) {
    wint_t c = 0;
    const int got = get_wch(&c);
    emptyWaits = got == ERR ? emptyWaits + 1 : 0;
    if (got == ERR && TerminalHungUp()) RequestClose();
    if (got == KEY_CODE_YES && static_cast<int>(c) == kPasteEndKey) break;
    if (got == OK) text += static_cast<wchar_t>(c);
  }
  return Narrow(text);
}

// The screen brought up to date, the cursor in the focused field only.
void Show(Dialog& d) {
  if (d.shown) DrawItems(d);
  const Item* focused = Focused(d);
  const bool cursor = d.shown && focused != nullptr && focused->field != nullptr;
  curs_set(cursor ? 1 : 0);
  if (cursor) pos_form_cursor(d.form);
  touchwin(stdscr);
  refresh();
}

// A message box over the dialog, OK focused, until Enter, Space, Escape or Ctrl+Q closes it.
void ShowMessage(Dialog& d, const char* text) {
  const std::string ok = std::string("[ ").append(kOkButton).append(" ]");
  const int inner = std::max({Cells(text), Cells(ok), Cells(kCaption) + 2}) + 4;
  for (;;) {
    Show(d);
    curs_set(0);
    const int rows = std::min(6, LINES), columns = std::min(inner + 2, COLS);
    if (WINDOW* box = newwin(rows, columns, (LINES - rows) / 2, (COLS - columns) / 2)) {
      DrawFrame(box, 0, 0, 6, inner + 2, kCaption, "");
      Put(box, 2, 3, text, inner - 4);
      Put(box, 4, 1 + (inner - Cells(ok)) / 2, ok, Cells(ok), A_REVERSE);
      wrefresh(box);
      delwin(box);
    }
    wint_t c = 0;
    const int got = ReadKey(c);
    if (got == ERR || (got == KEY_CODE_YES && c == KEY_ENTER)) return;
    if (got == OK && (c == L'\r' || c == L'\n' || c == L' ' || c == 0x1B || c == 0x11)) return;
    if (got == OK && c == 0x03) RequestClose();  // the interrupt key, which raw keys bring here
    if (got == KEY_CODE_YES && c == KEY_RESIZE) Layout(d);
    if (got == KEY_CODE_YES && static_cast<int>(c) == kPasteStartKey) ReadPaste();
  }
}

void Press(Dialog& d, Item& item) {
  if (item.control->kind == ControlKind::kCheckBox) d.model.flat = !d.model.flat;
  if (item.control->kind == ControlKind::kButton) ShowMessage(d, OutcomeText(OnConvert(d.model)));
}

void OnKey(Dialog& d, int got, wint_t c) {
  const bool key = got == KEY_CODE_YES;
  if (key && c == KEY_RESIZE) return Layout(d);
  if (!key && c == 0x11) d.ended = true;  // Ctrl+Q: the close box
  if (!key && c == 0x03) RequestClose();  // the interrupt key, which raw keys bring here
  if (!d.shown || d.ended || (!key && c == 0x03)) return;
  Item* focused = Focused(d);
  if (key && static_cast<int>(c) == kPasteStartKey) {
    if (OnDropped(d.model, PastedPaths(ReadPaste()))) {
      for (Item& item : d.items)
        if (item.field != nullptr) ShowText(item);
    }
  } else if (c == L'\t' || (key && c == KEY_BTAB)) {
    MoveFocus(d, c == L'\t');
  } else if (focused != nullptr && focused->field != nullptr) {
    const std::pair<wint_t, int> requests[] = {{KEY_LEFT, REQ_PREV_CHAR},
                                               {KEY_RIGHT, REQ_NEXT_CHAR},
                                               {KEY_HOME, REQ_BEG_LINE},
                                               {KEY_BACKSPACE, REQ_DEL_PREV},
                                               {KEY_DC, REQ_DEL_CHAR}};
    if (key && c == KEY_END) return MoveTo(d, *focused, focused->end);
    if (!key && (c == 0x08 || c == 0x7F)) return Edit(d, *focused, REQ_DEL_PREV, 0);
    for (const auto& [code, request] : requests)
      if (key && c == code) return Edit(d, *focused, request, 0);
    if (!key && c != L'\r' && c != L'\n') Edit(d, *focused, 0, static_cast<wchar_t>(c));
  } else if (focused != nullptr) {
    const bool enter = key ? c == KEY_ENTER : c == L'\r' || c == L'\n';
    const bool button = focused->control->kind == ControlKind::kButton;
    if ((!key && c == L' ') || (enter && button)) Press(d, *focused);
  }
}

}  // namespace

const char* RunTerminalDialog() {
  if (const char* missing = OpenTerminal()) return missing;
  Dialog d;
  std::vector<FIELD*> fields;
  for (const DialogControl& c : kConversionDialogLayout.controls) {
    if ((c.style & WS_TABSTOP) == 0) continue;
    Item& item = d.items.emplace_back(Item{&c});
    if (c.kind != ControlKind::kEdit) continue;
    item.text = c.id == IDC_SOURCE_PATH ? &d.model.source : &d.model.destination;
    item.field = new_field(1, Columns(c.width) - 2, Rows(c.top), Columns(c.left) + 1, 0, 0);
    field_opts_off(item.field, O_STATIC | O_AUTOSKIP | O_BLANK | O_WRAP);
    set_max_field(item.field, 0);  // no limit to how far it scrolls
    set_field_back(item.field, A_UNDERLINE);
    fields.push_back(item.field);
  }
  fields.push_back(nullptr);
  d.form = new_form(fields.data());
  form_opts_off(d.form, O_BS_OVERLOAD | O_NL_OVERLOAD);  // Backspace does not leave the field
  Layout(d);
  while (!d.ended && !CloseRequested()) {
    try {
      Show(d);
      wint_t c = 0;
      const int got = ReadKey(c);
      if (got != ERR) OnKey(d, got, c);
    } catch (const std::exception&) {
      // Out of memory for a text: the key is lost, the dialog stays.
    }
  }
  unpost_form(d.form);
  free_form(d.form);
  for (FIELD* field : fields)
    if (field != nullptr) free_field(field);
  if (d.client != nullptr) delwin(d.client);
  CloseTerminal();
  return nullptr;
}
