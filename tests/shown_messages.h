// Message boxes recorded instead of shown, for tests of the front end through the stand-in
// window services: install RecordMessage as the presenter's showMessage.
#pragma once

#include <string>
#include <vector>

#include "front/window_services.h"

struct Shown {
  HWND owner;
  std::string text;
  std::string caption;
};

inline std::vector<Shown>& ShownMessages() {
  static std::vector<Shown> shown;
  return shown;
}

inline void RecordMessage(HWND owner, const char* text, const char* caption) {
  ShownMessages().push_back({owner, text, caption});
}
