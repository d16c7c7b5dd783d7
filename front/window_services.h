// The platform's window services: on Windows the real USER32 and SHELL32, for the dialog
// procedure and the Windows entry. Elsewhere the dialog is shown by other means and needs only
// the style names of the dialog's layout (front/resources/conversion_dialog.h), which our
// stand-in gives (front/stand_in/).
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>
#else
#include "front/stand_in/window_styles.h"
#endif
