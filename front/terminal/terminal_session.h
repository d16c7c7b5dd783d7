// The terminal while the dialog is shown: checked and taken over on opening (a UTF-8 locale, raw
// keys, bracketed paste, signals that ask to close), given back as it was on closing.
#pragma once

// The key codes the terminal library gives for the start and the end of a bracketed paste.
inline constexpr int kPasteStartKey = 0x6000, kPasteEndKey = 0x6001;

// Takes over the terminal; returns null when it is ready, else a one-line text saying what is
// missing (no terminal on standard input or output, no UTF-8 locale, an unknown terminal).
const char* OpenTerminal();
void CloseTerminal();

// Whether the dialog is to close, and every message box in the way with it: the terminal's
// interrupt or hang-up, a termination request, or the terminal gone (its other side closed).
bool CloseRequested();
void RequestClose();
