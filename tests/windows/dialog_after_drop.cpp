// Shows the conversion dialog with a file dropped on it, for scripts/screenshot-dialog.sh:
//   dialog_after_drop.exe PATH RECT_FILE MILLISECONDS
// drops PATH (code page 932), writes the dialog's screen rectangle "left top width height" to
// RECT_FILE once it is drawn, and closes the dialog MILLISECONDS later.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/windows/windows_test_support.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: dialog_after_drop PATH RECT_FILE MILLISECONDS\n", stderr);
    return 2;
  }
  const INT_PTR result = RunConversionDialog([argv](HWND dialog) {
    SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(std::string(argv[1]))), 0);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    RECT r{};
    GetWindowRect(dialog, &r);
    std::ofstream(argv[2]) << r.left << ' ' << r.top << ' ' << r.right - r.left << ' '
                           << r.bottom - r.top << '\n';
    Sleep(static_cast<DWORD>(std::atoi(argv[3])));
  });
  return result == 0 ? 0 : 1;
}
