// What the keys of a terminal do to the conversion dialog, without the terminal: a key moves the
// keyboard focus, edits the focused field, or becomes the message the platform's dialog manager
// would send (WM_COMMAND for a button, for Enter and for Escape; WM_DROPFILES for a paste, which
// is how a terminal delivers a dropped file; WM_CLOSE for the close box). The dialog procedure
// decides what the messages mean.
#pragma once

#include <string>

#include "front/window_services.h"

enum class Key {
  kNone,   // nothing to do (a key with no meaning here)
  kText,   // a typed character, `text` in UTF-8 (Space included)
  kPaste,  // a bracketed paste, `text` as pasted
  kTab,
  kBackTab,  // Shift+Tab
  kEnter,
  kEscape,
  kLeft,
  kRight,
  kHome,
  kEnd,
  kBackspace,
  kDelete,
  kClose,   // Ctrl+Q, or the terminal's interrupt or hang-up: the close box
  kResize,  // the terminal changed size: only a redraw
};

struct KeyEvent {
  Key key = Key::kNone;
  std::string text;
};

// Acts on `dialog` (a stand-in dialog whose procedure is set) for one key.
void HandleDialogKey(HWND dialog, const KeyEvent& event);

// Whether a key closes a message box: Enter, Space and Escape press its only button, OK, which
// has the focus; the close box closes it too.
bool ClosesMessageBox(const KeyEvent& event);

// The control with the keyboard focus after moving `forward` (Tab) or back (Shift+Tab) through
// the tab order from the focused one; from none, Tab gives the first and Shift+Tab the last.
HWND NextTabStop(HWND dialog, bool forward);
