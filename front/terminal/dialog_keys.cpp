// The dialog manager's part of keyboard handling for the stand-in dialog.
#include "front/terminal/dialog_keys.h"

#include <vector>

#include "front/stand_in/stand_in_windows.h"
#include "front/terminal/cell_layout.h"
#include "front/terminal/edit_field.h"
#include "front/terminal/paste_paths.h"

namespace {

bool IsTabStop(const StandInWindow& control) {
  return control.layout != nullptr && (control.layout->style & WS_TABSTOP) != 0;
}

LPARAM Handle(HWND control) {
  return reinterpret_cast<LPARAM>(control);
}

WPARAM Command(int id, WORD notification) {
  return MAKEWPARAM(static_cast<WORD>(id), notification);
}

// A button reports a click to its dialog; an automatic check box turns over first.
void Click(HWND dialog, HWND button) {
  if (button->kind == ControlKind::kCheckBox) {
    button->checkState = button->checkState == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED;
  }
  SendStandInMessage(dialog, WM_COMMAND, Command(button->id, BN_CLICKED), Handle(button));
}

void SetFocusTo(HWND dialog, HWND control) {
  dialog->focus = control;
  if (control != nullptr && control->kind == ControlKind::kEdit) {
    MoveCaretEnd(control);  // entering a field by Tab puts the caret after its text
    ScrollToCaret(control, EditTextColumns(*control->layout));
  }
}

void Drop(HWND dialog, const std::string& pasted) {
  StandInDrop drop{PastedPaths(pasted), false};
  if (drop.paths.empty()) return;  // a blank paste names no file
  SendStandInMessage(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(&drop), 0);
}

// Keys for the focused edit control; true when the key was one of its own.
bool EditKey(HWND dialog, HWND edit, const KeyEvent& event) {
  bool changed = false;
  switch (event.key) {
    case Key::kText:
      changed = static_cast<unsigned char>(event.text[0]) >= 0x20 && event.text[0] != 0x7F &&
                InsertAtCaret(edit, event.text);
      break;
    case Key::kBackspace:
      changed = DeleteBeforeCaret(edit);
      break;
    case Key::kDelete:
      changed = DeleteAtCaret(edit);
      break;
    case Key::kLeft:
      MoveCaretLeft(edit);
      break;
    case Key::kRight:
      MoveCaretRight(edit);
      break;
    case Key::kHome:
      MoveCaretHome(edit);
      break;
    case Key::kEnd:
      MoveCaretEnd(edit);
      break;
    default:
      return false;
  }
  ScrollToCaret(edit, EditTextColumns(*edit->layout));
  if (changed) SendStandInMessage(dialog, WM_COMMAND, Command(edit->id, EN_CHANGE), Handle(edit));
  return true;
}

}  // namespace

HWND NextTabStop(HWND dialog, bool forward) {
  std::vector<HWND> stops;
  for (const auto& control : dialog->controls) {
    if (IsTabStop(*control)) stops.push_back(control.get());
  }
  if (stops.empty()) return nullptr;
  size_t at = stops.size();
  for (size_t i = 0; i < stops.size(); ++i) {
    if (stops[i] == dialog->focus) at = i;
  }
  if (at == stops.size()) return forward ? stops.front() : stops.back();
  return stops[(at + (forward ? 1 : stops.size() - 1)) % stops.size()];
}

void HandleDialogKey(HWND dialog, const KeyEvent& event) {
  if (dialog == nullptr) return;
  HWND focus = dialog->focus;
  if (event.key == Key::kText && event.text.empty()) return;
  if (focus != nullptr && focus->kind == ControlKind::kEdit && EditKey(dialog, focus, event)) {
    return;
  }
  const bool onButton = focus != nullptr && (focus->kind == ControlKind::kButton ||
                                             focus->kind == ControlKind::kCheckBox);
  switch (event.key) {
    case Key::kTab:
    case Key::kBackTab:
      SetFocusTo(dialog, NextTabStop(dialog, event.key == Key::kTab));
      break;
    case Key::kText:
      if (onButton && event.text == " ") Click(dialog, focus);
      break;
    case Key::kEnter:
      // A push button with the focus is pressed; otherwise Enter is the dialog's IDOK.
      if (focus != nullptr && focus->kind == ControlKind::kButton) {
        Click(dialog, focus);
      } else {
        SendStandInMessage(dialog, WM_COMMAND, Command(IDOK, BN_CLICKED), 0);
      }
      break;
    case Key::kEscape:
      SendStandInMessage(dialog, WM_COMMAND, Command(IDCANCEL, BN_CLICKED), 0);
      break;
    case Key::kPaste:
      Drop(dialog, event.text);
      break;
    case Key::kClose:
      SendStandInMessage(dialog, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

bool ClosesMessageBox(const KeyEvent& event) {
  switch (event.key) {
    case Key::kEnter:
    case Key::kEscape:
    case Key::kClose:
      return true;
    case Key::kText:
      return event.text == " ";
    default:
      return false;
  }
}
