// Finding and reading the windows a test drives from outside: message boxes of a thread or of
// another process, and their texts as the narrow functions return them (code page 932).
#pragma once

#include <string>

#include "front/window_services.h"

std::string WindowText(HWND window);
std::string ClassName(HWND window);

// A visible message box (a dialog with an OK button) of the thread or of the process; none when
// `process` ends or `milliseconds` pass first.
HWND WaitForMessageBoxOfThread(DWORD thread, int milliseconds);
HWND WaitForMessageBoxOfProcess(HANDLE process, DWORD processId, int milliseconds);

// The first visible dialog of the thread or process that holds the control `controlId`.
HWND WaitForDialogOfThread(DWORD thread, int controlId, int milliseconds);
HWND WaitForDialogOfProcess(HANDLE process, DWORD processId, int controlId, int milliseconds);

// Any visible dialog of the thread other than `except`, at this moment.
HWND OtherDialogOfThread(DWORD thread, HWND except);

// What a message box shows.
struct MessageBoxSeen {
  std::string caption;
  std::string text;  // the message, control 0xFFFF
  HWND owner = nullptr;
  int buttons = 0;     // child windows of the Button class
  std::string okText;  // the OK button's text
};
MessageBoxSeen ReadMessageBox(HWND box);

// Clicks the box's OK button; returns once the box is gone.
void PressOk(HWND box);
