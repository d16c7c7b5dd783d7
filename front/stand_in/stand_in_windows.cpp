// The stand-in window services: the platform calls the front end makes, on plain records.
#include "front/stand_in/stand_in_windows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "front/resources/conversion_dialog.h"

namespace {

void PrintMessage(HWND, const char* text, const char* caption) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
}

StandInPresenter& Presenter() {
  static StandInPresenter presenter{PrintMessage, nullptr};
  return presenter;
}

// Copies at most size - 1 bytes and a terminating zero, as the platform's text calls do.
UINT CopyOut(const std::string& text, LPSTR buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  const size_t copied = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), copied);
  buffer[copied] = '\0';
  return static_cast<UINT>(copied);
}

}  // namespace

StandInPresenter SetStandInPresenter(StandInPresenter presenter) {
  StandInPresenter previous = Presenter();
  if (presenter.showMessage == nullptr) presenter.showMessage = PrintMessage;
  Presenter() = presenter;
  return previous;
}

std::unique_ptr<StandInWindow> CreateStandInDialog(const DialogLayout& layout, DLGPROC procedure) {
  auto dialog = std::make_unique<StandInWindow>();
  dialog->id = 0;
  dialog->text = layout.caption;
  dialog->procedure = procedure;
  for (const DialogControl& control : layout.controls) {
    auto child = std::make_unique<StandInWindow>();
    child->id = control.id;
    child->kind = control.kind;
    child->text = control.text;
    child->layout = &control;
    child->parent = dialog.get();
    dialog->controls.push_back(std::move(child));
  }
  return dialog;
}

INT_PTR SendStandInMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (dialog == nullptr || dialog->procedure == nullptr) return 0;
  return dialog->procedure(dialog, message, wParam, lParam);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT) {
  Presenter().showMessage(owner, text != nullptr ? text : "", caption != nullptr ? caption : "");
  return IDOK;
}

HWND GetDlgItem(HWND dialog, int id) {
  if (dialog == nullptr) return nullptr;
  for (auto& control : dialog->controls) {
    if (control->id == id) return control.get();
  }
  return nullptr;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr ? control->checkState : BST_UNCHECKED;
}

int GetWindowTextLengthA(HWND window) {
  return window != nullptr ? static_cast<int>(window->text.size()) : 0;
}

int GetWindowTextA(HWND window, LPSTR buffer, int size) {
  if (window == nullptr || size <= 0) return 0;
  return static_cast<int>(CopyOut(window->text, buffer, static_cast<size_t>(size)));
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
  if (window == nullptr) return 0;
  window->text = text != nullptr ? text : "";
  window->caret = 0;  // an edit control shows a new text from its start
  window->firstShown = 0;
  return 1;
}

UINT DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size) {
  if (drop == nullptr) return 0;
  if (index == 0xFFFFFFFF) return static_cast<UINT>(drop->paths.size());
  if (index >= drop->paths.size()) return 0;
  const std::string& path = drop->paths[index];
  if (buffer == nullptr) return static_cast<UINT>(path.size());
  return CopyOut(path, buffer, size);
}

void DragFinish(HDROP drop) {
  if (drop != nullptr) drop->finished = true;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  if (dialog == nullptr) return 0;
  dialog->ended = true;
  dialog->result = result;
  return 1;
}

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND, DLGPROC procedure, LPARAM parameter) {
  if (templateName != MAKEINTRESOURCEA(IDD_CONVERSION) || Presenter().runDialog == nullptr) {
    return -1;
  }
  std::unique_ptr<StandInWindow> dialog = CreateStandInDialog(kConversionDialogLayout, procedure);
  SendStandInMessage(dialog.get(), WM_INITDIALOG, 0, parameter);
  return Presenter().runDialog(dialog.get());
}
