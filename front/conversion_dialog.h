// The conversion dialog's procedure: a drop fills in the source path and the destination (the
// source with ".qz" appended), the button converts the two paths as they stand, and only the
// close box ends the dialog. It returns 0 for every message.
#pragma once

#include "front/window_services.h"

#ifndef CALLBACK
#define CALLBACK
#endif

INT_PTR CALLBACK ConversionDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
