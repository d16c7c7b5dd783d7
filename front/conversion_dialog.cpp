// The conversion dialog's procedure: the dialog model read from and written to the controls.
#include "front/conversion_dialog.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "front/resources/conversion_dialog.h"
#include "front/resources/texts.h"

namespace {

// The control's whole text, however long.
std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  std::string text(static_cast<size_t>(std::max(GetWindowTextLengthA(control), 0)) + 1, '\0');
  const int copied = GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

// The model as the user left the controls when pressing the button, with the dialog's settings.
DialogModel ModelOfControls(HWND dialog) {
  const auto* settings =
      reinterpret_cast<const ProgramSettings*>(GetWindowLongPtrA(dialog, DWLP_USER));
  return {ControlText(dialog, IDC_SOURCE_PATH), ControlText(dialog, IDC_DESTINATION_PATH),
          IsDlgButtonChecked(dialog, IDC_FLAT_NORMALS) == BST_CHECKED,
          settings != nullptr ? *settings : ProgramSettings{}};
}

// The first dropped file's whole path (the others are not read); the drop is released once read.
void OnDropFiles(HWND dialog, HDROP drop) {
  std::vector<std::string> paths;
  if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    std::string& path = paths.emplace_back(length + 1, '\0');
    path.resize(DragQueryFileA(drop, 0, path.data(), length + 1));
  }
  DragFinish(drop);
  DialogModel model;
  if (!OnDropped(model, paths)) return;
  SetWindowTextA(GetDlgItem(dialog, IDC_SOURCE_PATH), model.source.c_str());
  SetWindowTextA(GetDlgItem(dialog, IDC_DESTINATION_PATH), model.destination.c_str());
}

}  // namespace

ConversionOutcome ConvertAndTell(HWND owner, const DialogModel& model) {
  const Conversion conversion = OnConvert(model);
  const std::string text = OutcomeMessage(conversion, model.settings.warnings);
  MessageBoxA(owner, text.c_str(), kCaption, MB_OK);
  return conversion.outcome;
}

int ConvertEachAndTell(const std::vector<std::string>& sourcePaths,
                       const ProgramSettings& settings) {
  const ConversionOptions options = ConversionOptionsFor(settings, false);
  std::vector<Conversion> conversions;
  int status = 0;
  for (const std::string& source : sourcePaths) {
    conversions.push_back(Convert(source.c_str(), (source + ".qz").c_str(), options));
    if (conversions.back().outcome != kConverted) status = 1;
  }
  const std::string text = OutcomeListMessage(sourcePaths, conversions, settings.warnings);
  MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK);
  return status;
}

INT_PTR CALLBACK ConversionDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_INITDIALOG:
        SetWindowLongPtrA(window, DWLP_USER, lParam);  // the settings, or 0
        break;
      case WM_CLOSE:
      case WM_DESTROY:
        EndDialog(window, 0);
        break;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CONVERT) ConvertAndTell(window, ModelOfControls(window));
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
