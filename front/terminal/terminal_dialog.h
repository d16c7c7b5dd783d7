// The conversion dialog in the terminal the program was started from, on the dialog model
// (front/dialog_model.h): the layout of resource 101 in character cells, the two path fields
// edited by ncurses' form library, a dropped file arriving as a paste, message boxes over the
// dialog. A terminal smaller than the dialog shows the size it needs instead, until it is large
// enough.
#pragma once

// Runs the dialog until Ctrl+Q, the interrupt key or a hang-up closes it, and gives the terminal
// back as it was; returns null then. When the dialog cannot be shown, returns a one-line text
// saying what is missing (no terminal, no UTF-8 locale, an unknown terminal).
const char* RunTerminalDialog();
