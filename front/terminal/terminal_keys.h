// Keys as the terminal delivers them, turned into key events for the dialog and message boxes:
// the terminal library decodes function keys, and a bracketed paste comes back as one event.
#pragma once

#include "front/terminal/dialog_keys.h"

// Teaches the terminal library the sequences that open and close a bracketed paste.
void DefinePasteKeys();

// Waits for the next key, paste, change of size or close request of the open terminal.
KeyEvent ReadKey();
