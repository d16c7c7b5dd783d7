// A dialog template resource of this program read field by field (the extended form,
// DLGTEMPLATEEX with DLGITEMTEMPLATEEX items), to compare with the layout the code describes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "front/window_services.h"

// A name or an ordinal, as templates store menus, classes and texts.
struct NameOrOrdinal {
  bool isOrdinal = false;
  uint16_t ordinal = 0;
  std::wstring name;  // empty, and not an ordinal, when the field is absent
};

struct TemplateControl {
  uint32_t helpId = 0, extendedStyle = 0, style = 0;
  int16_t x = 0, y = 0, width = 0, height = 0;
  uint32_t id = 0;
  NameOrOrdinal windowClass, text;
  uint16_t creationDataSize = 0;
};

struct DialogTemplate {
  uint16_t version = 0, signature = 0;
  uint32_t helpId = 0, extendedStyle = 0, style = 0;
  int16_t x = 0, y = 0, width = 0, height = 0;
  NameOrOrdinal menu, windowClass;
  std::wstring title;
  uint16_t pointSize = 0, weight = 0;
  uint8_t italic = 0, charset = 0;
  std::wstring typeface;
  std::vector<TemplateControl> controls;
};

// Reads dialog resource `id` in `language` from this program; false when it is missing or not
// in the extended form.
bool ReadDialogTemplate(int id, LANGID language, DialogTemplate& dialog);

// The predefined class an ordinal stands for ("Button", "Edit", "Static", ...), or the name.
std::wstring ClassNameOf(const NameOrOrdinal& windowClass);
