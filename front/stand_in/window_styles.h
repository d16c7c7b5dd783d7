// The Windows control styles that the dialog's layout macros name, with the values windows.h
// gives them, for builds without windows.h: the terminal reads the same layout.
#pragma once

#include <cstdint>

inline constexpr uint32_t WS_BORDER = 0x00800000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x0080, BS_PUSHBUTTON = 0, BS_AUTOCHECKBOX = 3;
inline constexpr uint32_t SS_LEFT = 0;
