// The dialog on the test's thread, the user on a second one.
#include "tests/windows/dialog_session.h"

#include <gtest/gtest.h>

#include <thread>

#include "front/conversion_dialog.h"
#include "front/resources/conversion_dialog.h"
#include "tests/windows/window_search.h"

INT_PTR RunConversionDialog(const std::function<void(const DialogSession&)>& drive) {
  DialogSession session;
  session.dialogThread = GetCurrentThreadId();
  std::thread user([&session, &drive] {
    const HWND dialog = WaitForDialogOfThread(session.dialogThread, IDC_CONVERT, 10000);
    EXPECT_NE(dialog, nullptr) << "the dialog did not appear";
    if (dialog == nullptr) return;
    session.dialog = dialog;
    drive(session);
    // A check that failed midway may leave a message box open over the dialog.
    for (int i = 0; i < 10; ++i) {
      const HWND box = OtherDialogOfThread(session.dialogThread, dialog);
      if (box == nullptr) break;
      ADD_FAILURE() << "a message box was left open: " << WindowText(GetDlgItem(box, 0xFFFF));
      PressOk(box);
    }
    if (IsWindow(dialog)) PostMessageA(dialog, WM_CLOSE, 0, 0);
  });
  const INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONVERSION), nullptr,
                      ConversionDialogProc, 0);
  user.join();
  return result;
}
