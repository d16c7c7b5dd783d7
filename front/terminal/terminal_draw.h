// Drawing on the open terminal: the dialog centred on the screen with its frame, caption and
// controls (the focused one highlighted, the caret in the focused field), and a message box over
// it. Everything is drawn anew each time, so a change of size needs nothing else.
#pragma once

#include "front/window_services.h"

struct MessageBoxView {
  const char* caption;
  const char* text;
};

// Draws `dialog` (none: an empty screen) and, when `box` is given, the message box over it.
void DrawScreen(HWND dialog, const MessageBoxView* box);
