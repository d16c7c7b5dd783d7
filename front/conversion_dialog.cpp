// The conversion dialog's procedure, the same on every platform: one small handler per message.
#include "front/conversion_dialog.h"

#include <exception>
#include <string>

#include "front/convert_file.h"
#include "front/resources/conversion_dialog.h"

namespace {

// The control's whole text, however long.
std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthA(control);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(control, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

void OnConvert(HWND dialog) {
  const std::string source = ControlText(dialog, IDC_SOURCE_PATH);
  const std::string destination = ControlText(dialog, IDC_DESTINATION_PATH);
  ConvertFile(dialog, source.c_str(), destination.c_str());
}

void OnDropFiles(HWND dialog, HDROP drop) {
  // The first dropped file only, its whole path; the drop is released once read.
  const UINT files = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  std::string path;
  if (files > 0) {
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    path.assign(length + 1, '\0');
    path.resize(DragQueryFileA(drop, 0, path.data(), length + 1));
  }
  DragFinish(drop);
  if (files == 0) return;
  SetWindowTextA(GetDlgItem(dialog, IDC_SOURCE_PATH), path.c_str());
  SetWindowTextA(GetDlgItem(dialog, IDC_DESTINATION_PATH), (path + ".qz").c_str());
}

}  // namespace

INT_PTR CALLBACK ConversionDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  try {
    switch (message) {
      case WM_CLOSE:
      case WM_DESTROY:
        EndDialog(window, 0);
        break;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CONVERT) OnConvert(window);
        break;
      case WM_DROPFILES:
        OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
        break;
      default:
        break;
    }
  } catch (const std::exception&) {
    // Out of memory for a path: the message is dropped, the dialog stays.
  }
  return 0;
}
