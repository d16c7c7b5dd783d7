// The conversion dialog as the program runs it (resource 101, ConversionDialogProc, modal on
// this thread) while a second thread works it as a user would.
#pragma once

#include <functional>

#include "front/window_services.h"

struct DialogSession {
  HWND dialog = nullptr;
  DWORD dialogThread = 0;  // the thread that runs the dialog and its message boxes
};

// Runs the dialog until it ends and returns what DialogBoxParamA returned. `drive` runs on the
// second thread once the dialog is shown; the dialog is closed after it, if still open.
INT_PTR RunConversionDialog(const std::function<void(const DialogSession&)>& drive);
