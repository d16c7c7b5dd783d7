// The conversion dialog, resource 101, written once: the resource script builds the Windows
// template from these macros, and the terminal reads the same macros as data (dialog_layout.h).
// Plain preprocessor text, which the resource compiler reads too; the texts are UTF-8.
#pragma once

#define IDD_CONVERSION 101
#define IDC_SOURCE_PATH 1001
#define IDC_DESTINATION_PATH 1006
#define IDC_CONVERT 1008
#define IDC_FLAT_NORMALS 1011
#define IDC_LABEL (-1)

#define DIALOG_CAPTION "VUV2EZ"
#define DIALOG_FONT "ＭＳ Ｐゴシック"
#define DIALOG_FONT_POINTS 9
#define DIALOG_WIDTH 143
#define DIALOG_HEIGHT 87
#define DIALOG_STYLE WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT | DS_CENTER
#define DIALOG_EXTENDED_STYLE WS_EX_ACCEPTFILES

// The controls in template order, which is the tab order, as CONTROL(id, window class, text,
// left, top, width, height, style) in dialog units. Every control is also WS_CHILD and WS_VISIBLE.
#define DIALOG_CONTROLS(CONTROL)                                                                \
  CONTROL(IDC_SOURCE_PATH, "Edit", "", 4, 12, 132, 12, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL) \
  CONTROL(IDC_DESTINATION_PATH, "Edit", "", 4, 36, 132, 12,                                     \
          WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL)                                              \
  CONTROL(IDC_CONVERT, "Button", "変換", 4, 68, 132, 12, WS_TABSTOP | BS_PUSHBUTTON)            \
  CONTROL(IDC_LABEL, "Static", "変換元 : mqo ファイルをドロップしてください", 4, 4, 126, 8,     \
          WS_GROUP | SS_LEFT)                                                                   \
  CONTROL(IDC_LABEL, "Static", "変換先", 4, 28, 22, 8, WS_GROUP | SS_LEFT)                      \
  CONTROL(IDC_FLAT_NORMALS, "Button", "法線をフラットシェーディング用にする", 4, 52, 124, 10,   \
          WS_TABSTOP | BS_AUTOCHECKBOX)
