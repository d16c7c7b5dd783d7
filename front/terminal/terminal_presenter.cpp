// The modal loops of the terminal: the dialog's until EndDialog, a message box's until OK.
#include "front/terminal/terminal_presenter.h"

#include <cstdio>
#include <exception>

#include "front/terminal/dialog_keys.h"
#include "front/terminal/terminal_draw.h"
#include "front/terminal/terminal_keys.h"
#include "front/terminal/terminal_session.h"

namespace {

const char* problem = "";

void ShowMessage(HWND owner, const char* text, const char* caption) {
  if (!TerminalIsOpen()) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return;
  }
  const MessageBoxView box{caption, text};
  for (;;) {
    try {
      DrawScreen(owner, &box);
      if (ClosesMessageBox(ReadKey())) return;
    } catch (const std::exception&) {
      // Out of memory for a drawing or a key: the key is lost, the box stays.
    }
  }
}

INT_PTR RunDialog(HWND dialog) {
  const char* missing = OpenTerminal();
  if (missing != nullptr) {
    problem = missing;
    return -1;
  }
  while (!dialog->ended) {
    try {
      DrawScreen(dialog, nullptr);
      HandleDialogKey(dialog, ReadKey());
    } catch (const std::exception&) {
      // Out of memory for a drawing or a key: the key is lost, the dialog stays.
    }
  }
  CloseTerminal();
  return dialog->result;
}

}  // namespace

StandInPresenter TerminalPresenter() {
  return {ShowMessage, RunDialog};
}

const char* TerminalDialogProblem() {
  return problem;
}
