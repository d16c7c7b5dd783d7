// A single-line edit control's own behaviour on the stand-in's records: the caret moves by whole
// characters, typing inserts at the caret, and with ES_AUTOHSCROLL the text scrolls sideways so
// that the caret stays in view. Each call that changes the text returns true.
#pragma once

#include <string_view>

#include "front/window_services.h"

bool InsertAtCaret(HWND edit, std::string_view text);
bool DeleteBeforeCaret(HWND edit);  // Backspace
bool DeleteAtCaret(HWND edit);      // Delete
void MoveCaretLeft(HWND edit);
void MoveCaretRight(HWND edit);
void MoveCaretHome(HWND edit);
void MoveCaretEnd(HWND edit);

// Scrolls so that the caret is in view in a field of `columns` cells; the caret needs a cell of
// its own after the last character. Text is not left scrolled out while the field has room.
void ScrollToCaret(HWND edit, int columns);

// The part of the text in view in a field of `columns` cells (whole characters only), and the
// column of the caret within it.
std::string_view TextInView(HWND edit, int columns);
int CaretColumn(HWND edit);
