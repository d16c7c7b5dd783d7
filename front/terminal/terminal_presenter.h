// The terminal as the stand-in's presenter: the conversion dialog runs in the terminal it was
// started from, and message boxes appear over it. Installed by the program's entry for the
// dialog way.
#pragma once

#include "front/stand_in/stand_in_windows.h"

StandInPresenter TerminalPresenter();

// Why the last dialog could not be shown (its DialogBoxParamA returned -1), in one line.
const char* TerminalDialogProblem();
