// Shows the conversion dialog with a file dropped on it, for scripts/screenshot-dialog.sh:
//   dialog_after_drop.exe PATH RECT_FILE MILLISECONDS
// drops PATH (code page 932), writes the dialog's screen rectangle "left top width height" to
// RECT_FILE once it is drawn, and closes the dialog MILLISECONDS later.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "front/conversion_dialog.h"
#include "front/resources/conversion_dialog.h"
#include "tests/windows/drop_files.h"
#include "tests/windows/window_search.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: dialog_after_drop PATH RECT_FILE MILLISECONDS\n", stderr);
    return 2;
  }
  const std::string path = argv[1], rectFile = argv[2];
  const auto milliseconds = static_cast<DWORD>(std::atoi(argv[3]));
  const DWORD dialogThread = GetCurrentThreadId();
  std::thread user([&] {
    const HWND dialog = WaitForDialogOfThread(dialogThread, IDC_CONVERT, 10000);
    if (dialog == nullptr) return;
    SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path})), 0);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    Sleep(300);
    RECT rect{};
    GetWindowRect(dialog, &rect);
    if (std::FILE* out = std::fopen(rectFile.c_str(), "w")) {
      std::fprintf(out, "%ld %ld %ld %ld\n", static_cast<long>(rect.left),
                   static_cast<long>(rect.top), static_cast<long>(rect.right - rect.left),
                   static_cast<long>(rect.bottom - rect.top));
      std::fclose(out);
    }
    Sleep(milliseconds);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  });
  const INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONVERSION), nullptr,
                      ConversionDialogProc, 0);
  user.join();
  return result == 0 ? 0 : 1;
}
