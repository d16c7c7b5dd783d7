// The window services the front end calls, under their platform names. On Windows they are the
// real USER32 and SHELL32 functions; elsewhere this header declares our stand-in of the same
// names (front/stand_in/), so the conversion driver and the dialog procedure are written once.
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
#include <cstdint>

struct StandInWindow;
struct StandInDrop;
using HWND = StandInWindow*;
using HDROP = StandInDrop*;
using HINSTANCE = void*;
using BOOL = int;
using UINT = unsigned int;
using WORD = uint16_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using INT_PTR = intptr_t;
using LPCSTR = const char*;
using LPSTR = char*;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr UINT MB_OK = 0x0;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_DROPFILES = 0x0233;
inline constexpr WORD BN_CLICKED = 0;
inline constexpr WORD EN_CHANGE = 0x0300;
// Window and control styles of the dialog template.
inline constexpr uint32_t WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000;
inline constexpr uint32_t WS_CAPTION = 0x00C00000, WS_SYSMENU = 0x00080000;
inline constexpr uint32_t WS_MINIMIZEBOX = 0x00020000, WS_BORDER = 0x00800000;
inline constexpr uint32_t WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000;
inline constexpr uint32_t DS_SETFONT = 0x0040, DS_CENTER = 0x0800, WS_EX_ACCEPTFILES = 0x0010;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x0080, BS_PUSHBUTTON = 0, BS_AUTOCHECKBOX = 3;
inline constexpr uint32_t SS_LEFT = 0;

inline WORD LOWORD(WPARAM value) {
  return static_cast<WORD>(value & 0xFFFF);
}
inline WPARAM MAKEWPARAM(WORD low, WORD high) {
  return static_cast<WPARAM>(low) | (static_cast<WPARAM>(high) << 16);
}
inline LPCSTR MAKEINTRESOURCEA(int id) {
  return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(id)));
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
UINT IsDlgButtonChecked(HWND dialog, int id);
HWND GetDlgItem(HWND dialog, int id);
int GetWindowTextLengthA(HWND window);
int GetWindowTextA(HWND window, LPSTR buffer, int size);
BOOL SetWindowTextA(HWND window, LPCSTR text);
UINT DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size);
void DragFinish(HDROP drop);
BOOL EndDialog(HWND dialog, INT_PTR result);
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                        LPARAM parameter);
#endif
