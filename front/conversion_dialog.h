// The conversion dialog on Windows: resource 101 run with this procedure, which keeps the dialog
// model (dialog_model.h) in the dialog's controls, and its settings where DialogBoxParamA's last
// argument points (a ProgramSettings that outlives the dialog; 0: all off). A drop fills in the two
// fields, the button converts what they hold, and only the close box ends the dialog. It returns 0
// for every message, so that no control is given the focus first.
#pragma once

#include <string>
#include <vector>

#include "front/dialog_model.h"
#include "front/window_services.h"

INT_PTR CALLBACK ConversionDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Converts as the model says and tells the outcome in a message box owned by `owner` (none on the
// command line), once the user has closed it.
ConversionOutcome ConvertAndTell(HWND owner, const DialogModel& model);

// Converts each source to its path with ".qz" appended, then tells every outcome in one message
// box without owner (OutcomeListMessage); 0 when every one was converted, 1 otherwise.
int ConvertEachAndTell(const std::vector<std::string>& sourcePaths,
                       const ProgramSettings& settings);
