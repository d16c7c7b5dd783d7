// Editing and sideways scrolling of a single-line edit control.
#include "front/terminal/edit_field.h"

#include <algorithm>

#include "front/stand_in/stand_in_windows.h"
#include "front/terminal/utf8_text.h"

namespace {

bool IsEdit(HWND edit) {
  return edit != nullptr && edit->kind == ControlKind::kEdit;
}

// The caret on a character start within the text, whatever was done to the text before.
void ClampCaret(HWND edit) {
  edit->caret = std::min(edit->caret, edit->text.size());
  edit->firstShown = std::min(edit->firstShown, edit->caret);
}

}  // namespace

bool InsertAtCaret(HWND edit, std::string_view text) {
  if (!IsEdit(edit) || text.empty()) return false;
  ClampCaret(edit);
  edit->text.insert(edit->caret, text);
  edit->caret += text.size();
  return true;
}

bool DeleteBeforeCaret(HWND edit) {
  if (!IsEdit(edit)) return false;
  ClampCaret(edit);
  if (edit->caret == 0) return false;
  const size_t start = PreviousCharStart(edit->text, edit->caret);
  edit->text.erase(start, edit->caret - start);
  edit->caret = start;
  edit->firstShown = std::min(edit->firstShown, start);
  return true;
}

bool DeleteAtCaret(HWND edit) {
  if (!IsEdit(edit)) return false;
  ClampCaret(edit);
  const size_t length = DecodeUtf8(edit->text, edit->caret).length;
  if (length == 0) return false;
  edit->text.erase(edit->caret, length);
  return true;
}

void MoveCaretLeft(HWND edit) {
  if (!IsEdit(edit)) return;
  ClampCaret(edit);
  edit->caret = PreviousCharStart(edit->text, edit->caret);
}

void MoveCaretRight(HWND edit) {
  if (!IsEdit(edit)) return;
  ClampCaret(edit);
  edit->caret += DecodeUtf8(edit->text, edit->caret).length;
}

void MoveCaretHome(HWND edit) {
  if (IsEdit(edit)) edit->caret = 0;
}

void MoveCaretEnd(HWND edit) {
  if (IsEdit(edit)) edit->caret = edit->text.size();
}

void ScrollToCaret(HWND edit, int columns) {
  if (!IsEdit(edit)) return;
  ClampCaret(edit);
  const std::string_view text = edit->text;
  const int room = std::max(columns - 1, 0);  // the caret's own cell after the text
  // Forward until the text up to the caret fits.
  while (edit->firstShown < edit->caret &&
         TextCells(text.substr(edit->firstShown, edit->caret - edit->firstShown)) > room) {
    edit->firstShown += DecodeUtf8(text, edit->firstShown).length;
  }
  // Back while the whole rest of the text, one more character included, still fits.
  while (edit->firstShown > 0) {
    const size_t earlier = PreviousCharStart(text, edit->firstShown);
    if (TextCells(text.substr(earlier)) > room) break;
    edit->firstShown = earlier;
  }
}

std::string_view TextInView(HWND edit, int columns) {
  if (!IsEdit(edit)) return {};
  const std::string_view text = edit->text;
  const size_t first = std::min(edit->firstShown, text.size());
  size_t end = first;
  int used = 0;
  while (end < text.size()) {
    const Utf8Char c = DecodeUtf8(text, end);
    if (used + CharCells(c.code) > columns) break;
    used += CharCells(c.code);
    end += c.length;
  }
  return text.substr(first, end - first);
}

int CaretColumn(HWND edit) {
  if (!IsEdit(edit)) return 0;
  const std::string_view text = edit->text;
  const size_t caret = std::min(edit->caret, text.size());
  const size_t first = std::min(edit->firstShown, caret);
  return TextCells(text.substr(first, caret - first));
}
