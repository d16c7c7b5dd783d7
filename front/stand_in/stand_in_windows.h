// Our stand-in for the window services on platforms without them: windows are plain records,
// messages are direct calls of the dialog procedure. How a dialog is shown and how a message box
// appears is left to a presenter that the platform's front end installs (a terminal, or the
// default: message boxes as one line on standard error, and no dialog at all).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "front/resources/dialog_layout.h"
#include "front/window_services.h"

struct StandInWindow {
  int id = 0;
  ControlKind kind = ControlKind::kLabel;
  std::string text;
  UINT checkState = BST_UNCHECKED;
  size_t caret = 0;       // an edit control's caret: a byte offset at a character's start
  size_t firstShown = 0;  // an edit control's first byte in view (it scrolls sideways)
  const DialogControl* layout = nullptr;  // none for the dialog itself
  StandInWindow* parent = nullptr;
  std::vector<std::unique_ptr<StandInWindow>> controls;  // tab order
  DLGPROC procedure = nullptr;
  StandInWindow* focus = nullptr;  // the dialog's control with the keyboard focus, if any
  bool ended = false;
  INT_PTR result = 0;
};

struct StandInDrop {
  std::vector<std::string> paths;
  bool finished = false;  // DragFinish was called
};

struct StandInPresenter {
  // Shows a modal message box and returns when the user has closed it.
  void (*showMessage)(HWND owner, const char* text, const char* caption) = nullptr;
  // Runs a created dialog until EndDialog; returns -1 when no dialog can be shown.
  INT_PTR (*runDialog)(HWND dialog) = nullptr;
};

// Installs `presenter` and returns the one it replaces.
StandInPresenter SetStandInPresenter(StandInPresenter presenter);

// Creates the dialog and its controls from `layout` without showing it.
std::unique_ptr<StandInWindow> CreateStandInDialog(const DialogLayout& layout, DLGPROC procedure);

// Delivers a message to the dialog's procedure, as the platform would.
INT_PTR SendStandInMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
