// What the Windows tests share: the conversion dialog run as the program runs it, the windows of
// a thread or of another process found and message boxes answered as a user would, drop handles
// as the shell makes them, and folders of files put in place and read back. Texts and file names
// are in code page 932, as the narrow functions take and give them.
#pragma once

#include <shlobj.h>

#include <functional>
#include <map>
#include <string>
#include <thread>

#include "front/conversion_dialog.h"
#include "front/resources/conversion_dialog.h"
#include "tests/support/golden_hex.h"
#include "tests/support/test_support.h"

// Asked of the window itself, which answers for a window of another process too.
inline std::string WindowText(HWND window) {
  char text[8192] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// The first visible dialog of a thread or process (their identifiers are drawn from one set)
// that holds the control (0: any), polled every 20 ms until found or `milliseconds` have passed.
inline HWND FindDialog(DWORD threadOrProcess, int control, int milliseconds = 10000) {
  for (int waited = 0;; waited += 20) {
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;) {
      DWORD process = 0;
      const DWORD thread = GetWindowThreadProcessId(w, &process);
      const bool whose = thread == threadOrProcess || process == threadOrProcess;
      if (whose && IsWindowVisible(w) && (control == 0 || GetDlgItem(w, control))) return w;
    }
    if (waited >= milliseconds) return nullptr;
    Sleep(20);
  }
}

// What a dialog shows, as "caption: message [button]...": a message box's message is its control
// 0xFFFF (the conversion dialog has none, its labels being -1). Then the dialog is closed as a
// user closes it, with OK if it has one, else with the close box, and the call returns once it
// is gone.
inline std::string ReadAndClose(HWND dialog) {
  std::string seen = WindowText(dialog) + ": " + WindowText(GetDlgItem(dialog, 0xFFFF)) + " ";
  for (HWND b = nullptr; (b = FindWindowExA(dialog, b, "Button", nullptr)) != nullptr;)
    seen.append("[").append(WindowText(b)).append("]");
  const HWND ok = GetDlgItem(dialog, IDOK);
  PostMessageA(ok ? ok : dialog, ok ? BM_CLICK : WM_SYSCOMMAND, ok ? 0 : SC_CLOSE, 0);
  for (int i = 0; i < 500 && IsWindow(dialog); ++i)
    Sleep(10);
  return seen;
}

// Runs resource 101 with ConversionDialogProc on this thread, as the program does, while `user`
// works it from a second thread once it is shown (nullptr if it never is); closes it after, and
// returns what DialogBoxParamA returned.
inline INT_PTR RunConversionDialog(const std::function<void(HWND dialog)>& user) {
  std::thread second([&user, thread = GetCurrentThreadId()] {
    const HWND dialog = FindDialog(thread, IDC_CONVERT);
    user(dialog);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  });
  const INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONVERSION), nullptr,
                      ConversionDialogProc, 0);
  second.join();
  return result;
}

// A drop handle: a DROPFILES header, then `paths` (each ended by a zero, so "a\0b" is two) and
// one more zero. DragFinish frees it.
template <typename Char>
HDROP MakeDrop(const std::basic_string<Char>& paths) {
  const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (paths.size() + 2) * sizeof(Char));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));  // zeroed
  header->pFiles = sizeof(DROPFILES);
  header->fWide = sizeof(Char) > 1;
  CopyMemory(header + 1, paths.data(), paths.size() * sizeof(Char));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// `text` with each '$' replaced by `folder` ('$' is no byte of a two-byte code page 932
// character).
inline std::string InFolder(std::string text, const std::string& folder) {
  for (size_t at = text.find('$'); at != std::string::npos; at = text.find('$', at + folder.size()))
    text.replace(at, 1, folder);
  return text;
}

// The golden document cube.mqo, and the golden bytes of it converted with smooth or flat normals
// (which the Linux build writes too).
inline std::string Cube() {
  return ReadFile(GoldenPath("cube.mqo"));
}
inline std::string CubeConverted(bool smooth) {
  const std::vector<uint8_t> bytes = GoldenBytes("cube", smooth);
  return std::string(bytes.begin(), bytes.end());
}

// A folder's contents by name: a file's bytes, or nothing for a folder inside (its name ending in
// '\'; what it holds is not listed).
using Files = std::map<std::string, std::string>;

inline void Put(const std::string& folder, const Files& files) {
  for (const auto& [path, bytes] : files) {
    if (path.back() == '\\') CreateDirectoryA((folder + "\\" + path).c_str(), nullptr);
    if (path.back() != '\\') WriteFile(folder + "\\" + path, bytes);
  }
}

inline Files Contents(const std::string& folder) {
  Files files;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    const std::string name = found.cFileName;
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!isFolder) files[name] = ReadFile(folder + "\\" + name);
    if (isFolder && name != "." && name != "..") files[name + "\\"] = "";
  }
  FindClose(search);
  return files;
}
