// Drop handles built in global memory, as DragQueryFileA and DragFinish expect them.
#include "tests/windows/drop_files.h"

#include <shlobj.h>

#include <cstring>

namespace {

template <typename Char>
HDROP Make(const std::vector<std::basic_string<Char>>& paths, bool wide) {
  size_t characters = 1;
  for (const auto& path : paths)
    characters += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(Char));
  if (memory == nullptr) return nullptr;
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->pt = {20, 20};
  header->fNC = FALSE;
  header->fWide = wide ? TRUE : FALSE;
  auto* out = reinterpret_cast<Char*>(header + 1);
  for (const auto& path : paths) {
    std::memcpy(out, path.c_str(), (path.size() + 1) * sizeof(Char));
    out += path.size() + 1;
  }
  *out = 0;
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

}  // namespace

HDROP MakeDrop(const std::vector<std::string>& paths) {
  return Make(paths, false);
}

HDROP MakeWideDrop(const std::vector<std::wstring>& paths) {
  return Make(paths, true);
}
