// The conversion dialog in a terminal. A cell is taken as 8/3 dialog units wide and 8 high, which
// keeps the dialog's proportions and leaves its Japanese texts room in their two-cell characters.
// The edit controls are one-line fields of a form that scroll sideways; the button and the check
// box are the view's own items; Tab goes through all four in template order. Nothing has the
// focus at first, while a posted form always has a current field: the view's focus decides
// whether keys go to the form and whether its cursor shows.
#include "front/terminal/terminal_dialog.h"

#include <form.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <numeric>
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
const int kDialogRows = Rows(DIALOG_HEIGHT) + 2;
const int kDialogColumns = Columns(DIALOG_WIDTH) + 2;

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
  WINDOW* frame = nullptr;   // the dialog with its frame, the form's window
  WINDOW* client = nullptr;  // inside the frame, where the fields are
  bool shown = false;        // the terminal is large enough for the dialog
  bool ended = false;
};

// Texts here are whole characters in the locale's UTF-8: what the terminal and the form give back.
std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  const size_t length = std::mbstowcs(wide.data(), text.c_str(), wide.size());
  wide.resize(length == static_cast<size_t>(-1) ? 0 : length);
  return wide;
}

std::string Narrow(const std::wstring& text) {
  std::string narrow(text.size() * MB_CUR_MAX, '\0');
  const size_t length = std::wcstombs(narrow.data(), text.c_str(), narrow.size());
  narrow.resize(length == static_cast<size_t>(-1) ? 0 : length);
  return narrow;
}

int Cells(wchar_t c) {
  return std::max(wcwidth(c), 0);
}

int Cells(const std::string& text) {
  const std::wstring wide = Wide(text);
  return std::accumulate(wide.begin(), wide.end(), 0,
                         [](int sum, wchar_t c) { return sum + Cells(c); });
}

// Writes `text` in the window (the terminal library decodes the locale's UTF-8); returns the
// cells it takes.
int Put(WINDOW* window, int row, int column, const std::string& text,
        attr_t attributes = A_NORMAL) {
  wattr_set(window, attributes, 0, nullptr);
  mvwaddstr(window, row, column, text.c_str());
  wattr_set(window, A_NORMAL, 0, nullptr);
  return Cells(text);
}

// A box around the window, with a title in its top edge and a note in its bottom edge.
void DrawFrame(WINDOW* window, const std::string& title, const std::string& note) {
  box(window, 0, 0);
  Put(window, 0, 2, std::string(" ") + title + " ");
  if (!note.empty()) Put(window, getmaxy(window) - 1, 2, std::string(" ") + note + " ");
}

// The items as they stand, the focused button or check box in reverse. A wide character the form
// has drawn in a field's last cell would run half past it: a blank instead, and the brackets.
void DrawItems(const Dialog& d) {
  for (size_t i = 0; i < d.items.size(); ++i) {
    const DialogControl& c = *d.items[i].control;
    const int row = 1 + Rows(c.top), column = 1 + Columns(c.left), width = Columns(c.width);
    const attr_t look = static_cast<int>(i) == d.focus ? A_REVERSE : A_NORMAL;
    if (c.kind == ControlKind::kEdit) {
      cchar_t last{};
      mvwin_wch(d.frame, row, column + width - 2, &last);
      if (wcwidth(last.chars[0]) > 1) Put(d.frame, row, column + width - 2, " ", A_UNDERLINE);
      Put(d.frame, row, column, "[");
      Put(d.frame, row, column + width - 1, "]");
    } else if (c.kind == ControlKind::kCheckBox) {
      const int box = Put(d.frame, row, column, d.model.flat ? "[x] " : "[ ] ");
      Put(d.frame, row, column + box, c.text, look);
    } else {
      const std::string inside(static_cast<size_t>(width - 2), ' ');
      Put(d.frame, row, column, std::string("[") + inside + "]", look);
      Put(d.frame, row, column + 1 + (width - 2 - Cells(c.text)) / 2, c.text, look);
    }
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

// The cursor to `column` of the focused field from its start, which scrolls the field as little
// as that needs: as much text shows before the cursor as fits, text scrolled out to the left comes
// back when the field has room for it. (The form's own end of a line is after its last character
// that is not a blank, and is found wrongly after wide characters.) The form scrolls by cells and
// may start the view in the middle of a wide character, which it then fails to show: the view
// starts after that character instead.
void MoveTo(Dialog& d, const Item& item, int column) {
  Request(d, REQ_BEG_LINE);
  while (d.form->curcol < column && Request(d, REQ_NEXT_CHAR) == E_OK) {
  }
  int start = 0;
  for (const wchar_t c : Buffer(d, item)) {
    if (start >= d.form->begincol) break;
    start += Cells(c);
  }
  if (start == d.form->begincol) return;
  d.form->begincol = start;
  Request(d, REQ_INS_MODE);  // insert mode as before; the field is drawn anew
}

void MoveFocus(Dialog& d, bool forward) {
  const int count = static_cast<int>(d.items.size());
  d.focus = d.focus < 0 ? (forward ? 0 : count - 1) : (d.focus + (forward ? 1 : count - 1)) % count;
  const Item& item = *Focused(d);
  if (item.field == nullptr || set_current_field(d.form, item.field) != E_OK) return;
  MoveTo(d, item, item.end);  // after the text, as entering a field puts the cursor
}

// Everything anew for the terminal's size: the dialog centred with the form posted in it, or,
// when it does not fit, the size it needs.
void Layout(Dialog& d) {
  unpost_form(d.form);
  set_form_win(d.form, stdscr);  // the form lets go of the windows before they go
  set_form_sub(d.form, stdscr);
  if (d.client != nullptr) delwin(d.client);
  if (d.frame != nullptr) delwin(d.frame);
  d.client = d.frame = nullptr;
  erase();
  if (COLS >= kDialogColumns && LINES >= kDialogRows) {
    d.frame = derwin(stdscr, kDialogRows, kDialogColumns, (LINES - kDialogRows) / 2,
                     (COLS - kDialogColumns) / 2);
  }
  if (d.frame != nullptr) d.client = derwin(d.frame, kDialogRows - 2, kDialogColumns - 2, 1, 1);
  d.shown = d.client != nullptr && set_form_win(d.form, d.frame) == E_OK &&
            set_form_sub(d.form, d.client) == E_OK && post_form(d.form) == E_OK;
  if (!d.shown) {
    const std::string line = std::string(kTerminalTooSmallText.before) +
                             std::to_string(kDialogColumns) + " x " + std::to_string(kDialogRows) +
                             kTerminalTooSmallText.after;
    Put(stdscr, LINES / 2, std::max((COLS - Cells(line)) / 2, 0), line);
    return;
  }
  DrawFrame(d.frame, kCaption, kTerminalKeysHint);
  for (const DialogControl& c : kConversionDialogControls)  // posting blanks the rest
    if (c.kind == ControlKind::kLabel) Put(d.frame, 1 + Rows(c.top), 1 + Columns(c.left), c.text);
  if (const Item* focused = Focused(d); focused != nullptr && focused->field != nullptr)
    MoveTo(d, *focused, focused->end);  // posting put the cursor at the field's start
}

// One edit of the focused field: a typed character (request 0) or a request that moves the
// cursor or deletes. The cursor is kept within the text; typing and deleting move it by the
// cells they add or take away, which gives the text's end.
void Edit(Dialog& d, Item& item, int request, wchar_t typed = 0) {
  if (request == REQ_END_LINE) return MoveTo(d, item, item.end);
  const bool forward = request == REQ_NEXT_CHAR || request == REQ_DEL_CHAR;
  if ((forward && d.form->curcol >= item.end) || (request == 0 && wcwidth(typed) < 1)) return;
  // Delete: the cursor goes over the character, which Backspace then takes away.
  if (request == REQ_DEL_CHAR && Request(d, REQ_NEXT_CHAR) == E_OK) request = REQ_DEL_PREV;
  const int at = d.form->curcol;
  if ((request == 0 ? form_driver_w(d.form, OK, typed) : Request(d, request)) != E_OK) return;
  if (request == 0 || request == REQ_DEL_PREV) item.end += d.form->curcol - at;
  MoveTo(d, item, d.form->curcol);
  std::wstring text = Buffer(d, item);
  size_t count = 0;
  for (int cells = 0; count < text.size() && cells + Cells(text[count]) <= item.end; ++count)
    cells += Cells(text[count]);
  text.resize(count);
  *item.text = Narrow(text);
}

// Puts the model's text in a field; its end counts the blanks the text ends with, which the form
// does not tell from its padding.
void ShowText(Item& item) {
  set_field_buffer(item.field, 0, item.text->c_str());
  std::string held = field_buffer(item.field, 0);
  held.erase(held.find_last_not_of(' ') + 1);
  item.end = Cells(held + item.text->substr(item.text->find_last_not_of(' ') + 1));
}

// Waits for a key: a character, or a function key as its negative code; 0 when the dialog is to
// close.
int ReadKey() {
  for (wint_t c = 0; !CloseRequested();) {
    const int got = get_wch(&c);
    if (got == OK && c == 0x03) RequestClose();  // the interrupt key, which raw keys bring here
    if (got != ERR && !CloseRequested())
      return got == KEY_CODE_YES ? -static_cast<int>(c) : static_cast<int>(c);
  }
  return 0;
}

// The rest of a bracketed paste, in UTF-8. One whose end does not come after 25 empty waits is
// taken as it stands; keys inside it mean nothing.
std::string ReadPaste() {
  std::wstring text;
  for (int emptyWaits = 0; emptyWaits < 25 && !CloseRequested();) {
    wint_t c = 0;
    const int got = get_wch(&c);
    emptyWaits = got == ERR ? emptyWaits + 1 : 0;
    if (got == KEY_CODE_YES && static_cast<int>(c) == kPasteEndKey) break;
    if (got == OK) text += static_cast<wchar_t>(c);
  }
  return Narrow(text);
}

// The screen brought up to date, the cursor in the focused field only.
void Show(Dialog& d) {
  const Item* focused = Focused(d);
  if (d.shown) DrawItems(d);
  curs_set(d.shown && focused != nullptr && focused->field != nullptr ? 1 : 0);
  pos_form_cursor(d.form);
  touchwin(stdscr);
  refresh();
}

// A message box over the dialog, OK focused, until Enter, Space, Escape or Ctrl+Q closes it.
void ShowMessage(Dialog& d, const char* text) {
  const std::string ok = std::string("[ ") + kOkButton + " ]";
  const int inner = std::max({Cells(text), Cells(ok), Cells(kCaption) + 2}) + 4;
  for (int key = 0;; key = ReadKey()) {
    if (key == -KEY_RESIZE) Layout(d);
    if (key == -kPasteStartKey) ReadPaste();  // a paste means nothing here
    const bool closing = key > 0 && key < 0x80 && std::strchr("\r\n \x1b\x11", key) != nullptr;
    if (CloseRequested() || closing || key == -KEY_ENTER) return;
    Show(d);
    curs_set(0);
    if (WINDOW* box = newwin(6, inner + 2, (LINES - 6) / 2, (COLS - inner - 2) / 2)) {
      DrawFrame(box, kCaption, "");
      Put(box, 2, 3, text);
      Put(box, 4, 1 + (inner - Cells(ok)) / 2, ok, A_REVERSE);
      wrefresh(box);
      delwin(box);
    }
  }
}

// What a key does: moves the focus, edits the focused field, presses the focused button or check
// box, drops the files of a paste, or closes the dialog (Ctrl+Q, the close box).
void OnKey(Dialog& d, int key) {
  if (key == -KEY_RESIZE) return Layout(d);
  d.ended = key == 0x11;
  Item* focused = Focused(d);
  if (!d.shown || d.ended || key == 0) return;
  const std::pair<int, int> editKeys[] = {
      {-KEY_LEFT, REQ_PREV_CHAR}, {-KEY_RIGHT, REQ_NEXT_CHAR},    {-KEY_HOME, REQ_BEG_LINE},
      {-KEY_END, REQ_END_LINE},   {-KEY_BACKSPACE, REQ_DEL_PREV}, {0x7F, REQ_DEL_PREV},
      {0x08, REQ_DEL_PREV},       {-KEY_DC, REQ_DEL_CHAR},        {key, 0}};
  const int request = std::find_if(std::begin(editKeys), std::end(editKeys), [key](auto pair) {
                        return pair.first == key;
                      })->second;
  if (key == -kPasteStartKey && OnDropped(d.model, PastedPaths(ReadPaste()))) {
    for (Item& item : d.items)
      if (item.field != nullptr) ShowText(item);
  } else if (key == '\t' || key == -KEY_BTAB) {
    MoveFocus(d, key == '\t');
  } else if (focused != nullptr && focused->field != nullptr) {
    Edit(d, *focused, request, static_cast<wchar_t>(std::max(key, 0)));  // a control: nothing
  } else if (focused != nullptr && focused->control->kind == ControlKind::kCheckBox) {
    if (key == ' ') d.model.flat = !d.model.flat;
  } else if (focused != nullptr &&
             (key == ' ' || key == '\r' || key == '\n' || key == -KEY_ENTER)) {
    ShowMessage(d, OutcomeText(OnConvert(d.model).outcome));
  }
}

}  // namespace

const char* RunTerminalDialog() {
  if (const char* missing = OpenTerminal()) return missing;
  Dialog d;
  std::vector<FIELD*> fields;
  for (const DialogControl& c : kConversionDialogControls) {
    if ((c.style & WS_TABSTOP) == 0) continue;
    Item& item = d.items.emplace_back(Item{&c});
    if (c.kind != ControlKind::kEdit) continue;
    item.text = c.id == IDC_SOURCE_PATH ? &d.model.source : &d.model.destination;
    item.field = fields.emplace_back(
        new_field(1, Columns(c.width) - 2, Rows(c.top), Columns(c.left) + 1, 0, 0));
    field_opts_off(item.field, O_STATIC | O_AUTOSKIP | O_BLANK | O_WRAP);
    set_max_field(item.field, 0);  // no limit to how far it scrolls
    set_field_back(item.field, A_UNDERLINE);
  }
  fields.push_back(nullptr);
  d.form = new_form(fields.data());
  form_opts_off(d.form, O_BS_OVERLOAD | O_NL_OVERLOAD);  // Backspace does not leave the field
  Layout(d);
  while (!d.ended && !CloseRequested()) {
    try {
      Show(d);
      OnKey(d, ReadKey());
    } catch (const std::exception&) {
      // Out of memory for a text: the key is lost, the dialog stays.
    }
  }
  unpost_form(d.form);
  free_form(d.form);
  for (FIELD* field : fields)
    free_field(field);
  CloseTerminal();
  return nullptr;
}
