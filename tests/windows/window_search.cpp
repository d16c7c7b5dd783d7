// Window searches by enumeration, polled every 20 ms.
#include "tests/windows/window_search.h"

#include <vector>

namespace {

bool IsDialogClass(HWND window) {
  return ClassName(window) == "#32770";
}

struct Search {
  DWORD processId = 0;  // 0: any process
  int controlId = 0;
  HWND except = nullptr;
  HWND found = nullptr;
};

BOOL CALLBACK Consider(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (search->processId != 0) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
  }
  if (window == search->except || !IsWindowVisible(window) || !IsDialogClass(window)) return TRUE;
  if (search->controlId != 0 && GetDlgItem(window, search->controlId) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindOfThread(DWORD thread, int controlId, HWND except) {
  Search search{0, controlId, except, nullptr};
  EnumThreadWindows(thread, Consider, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindOfProcess(DWORD processId, int controlId) {
  Search search{processId, controlId, nullptr, nullptr};
  EnumWindows(Consider, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

template <typename Find>
HWND Poll(HANDLE process, int milliseconds, Find find) {
  for (int waited = 0;; waited += 20) {
    const bool ended = process != nullptr && WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    if (HWND found = find()) return found;
    if (ended || waited >= milliseconds) return nullptr;
    Sleep(20);
  }
}

BOOL CALLBACK CountButton(HWND window, LPARAM parameter) {
  if (ClassName(window) == "Button") ++*reinterpret_cast<int*>(parameter);
  return TRUE;
}

}  // namespace

std::string WindowText(HWND window) {
  std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND WaitForMessageBoxOfThread(DWORD thread, int milliseconds) {
  return Poll(nullptr, milliseconds, [&] { return FindOfThread(thread, IDOK, nullptr); });
}

HWND WaitForMessageBoxOfProcess(HANDLE process, DWORD processId, int milliseconds) {
  return Poll(process, milliseconds, [&] { return FindOfProcess(processId, IDOK); });
}

HWND WaitForDialogOfThread(DWORD thread, int controlId, int milliseconds) {
  return Poll(nullptr, milliseconds, [&] { return FindOfThread(thread, controlId, nullptr); });
}

HWND WaitForDialogOfProcess(HANDLE process, DWORD processId, int controlId, int milliseconds) {
  return Poll(process, milliseconds, [&] { return FindOfProcess(processId, controlId); });
}

HWND OtherDialogOfThread(DWORD thread, HWND except) {
  return FindOfThread(thread, 0, except);
}

MessageBoxSeen ReadMessageBox(HWND box) {
  MessageBoxSeen seen;
  seen.caption = WindowText(box);
  seen.text = WindowText(GetDlgItem(box, 0xFFFF));
  seen.owner = GetWindow(box, GW_OWNER);
  EnumChildWindows(box, CountButton, reinterpret_cast<LPARAM>(&seen.buttons));
  if (HWND ok = GetDlgItem(box, IDOK)) seen.okText = WindowText(ok);
  return seen;
}

void PressOk(HWND box) {
  SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  // The box is gone once the call that showed it has returned.
  for (int waited = 0; IsWindow(box) && waited < 5000; waited += 10)
    Sleep(10);
}
