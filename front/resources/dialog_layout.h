// The conversion dialog's controls as data, read from the macros of conversion_dialog.h: their
// identifiers, texts, positions (dialog units) and styles, as resource 101 of the Windows build
// holds them, in template order, which is the tab order. The terminal draws the dialog from them
// (its size and caption are DIALOG_WIDTH, DIALOG_HEIGHT and DIALOG_CAPTION).
#pragma once

#include <cstdint>

#include "front/resources/conversion_dialog.h"
#include "front/window_services.h"

enum class ControlKind { kEdit, kButton, kCheckBox, kLabel };

struct DialogControl {
  int id;
  ControlKind kind;
  const char* text;
  int left, top, width, height;
  uint32_t style;  // the control's own style bits (every control is also WS_CHILD, WS_VISIBLE)
};

// A control of window class "Edit", "Static" or "Button" (a check box by its style).
constexpr ControlKind KindOfControl(const char* windowClass, uint32_t style) {
  if (windowClass[0] == 'E') return ControlKind::kEdit;
  if (windowClass[0] == 'S') return ControlKind::kLabel;
  return (style & 0xF) == BS_AUTOCHECKBOX ? ControlKind::kCheckBox : ControlKind::kButton;
}

#define VUV2EZ_LAYOUT_CONTROL(id, windowClass, text, left, top, width, height, style) \
  DialogControl{id,     KindOfControl(windowClass, style), text, left, top, width,    \
                height, static_cast<uint32_t>(style)},
inline constexpr DialogControl kConversionDialogControls[] = {
    DIALOG_CONTROLS(VUV2EZ_LAYOUT_CONTROL)};
#undef VUV2EZ_LAYOUT_CONTROL
