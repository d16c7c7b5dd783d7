// The conversion dialog as data: the same controls, identifiers, texts, positions (dialog units)
// and styles as resource 101 of the Windows build, for the platforms that draw it themselves and
// for the tests that compare the real template with it.
#pragma once

#include <cstdint>
#include <span>

enum class ControlKind { kEdit, kButton, kCheckBox, kLabel };

struct DialogControl {
  int id;
  ControlKind kind;
  const char* text;
  int left, top, width, height;
  uint32_t style;  // window and control style bits, WS_CHILD and WS_VISIBLE included
};

struct DialogLayout {
  int width, height;
  const char* caption;
  const char* fontName;
  int fontPoints;
  uint32_t style;
  uint32_t extendedStyle;
  std::span<const DialogControl> controls;  // template order, which is the tab order
};

// Style bits, with their Windows values.
inline constexpr uint32_t kStyleChild = 0x40000000, kStyleVisible = 0x10000000;
inline constexpr uint32_t kStyleCaption = 0x00C00000, kStyleSysMenu = 0x00080000;
inline constexpr uint32_t kStyleBorder = 0x00800000, kStyleGroup = 0x00020000;
inline constexpr uint32_t kStyleTabStop = 0x00010000, kStyleMinimizeBox = 0x00020000;
inline constexpr uint32_t kStyleSetFont = 0x00000040, kStyleCenter = 0x00000800;
inline constexpr uint32_t kStyleAutoHScroll = 0x0080, kStyleAutoCheckBox = 0x0003;
inline constexpr uint32_t kStylePushButton = 0x0000, kStyleLeft = 0x0000;
inline constexpr uint32_t kExStyleAcceptFiles = 0x00000010;

extern const DialogLayout kConversionDialogLayout;
