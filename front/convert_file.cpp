// The conversion driver: the one place that shows messages.
#include "front/convert_file.h"

#include "front/resources/conversion_dialog.h"
#include "front/resources/texts.h"
#include "reader/model.h"
#include "writer/qz_writer.h"

namespace {

ConversionOutcome Convert(HWND window, const char* sourcePath, const char* destinationPath,
                          const bool* chosenSmooth) {
  Model model;
  const LoadResult result = LoadModel(model, sourcePath);
  if (result != kLoadOk) {
    MessageBoxA(window, result == kLoadNotMqo ? kNotMqoText : kReadFailedText, kCaption, MB_OK);
    return result == kLoadNotMqo ? kSourceNotMqo : kSourceUnreadable;
  }
  // The checkbox is read now, after loading, as the user left it when pressing the button.
  const bool smooth = chosenSmooth != nullptr
                          ? *chosenSmooth
                          : window == nullptr || IsDlgButtonChecked(window, IDC_FLAT_NORMALS) == 0;
  const int written = WriteModel(model, destinationPath, smooth);
  FreeModel(model);
  if (written != 0) {
    MessageBoxA(window, kWriteFailedText, kCaption, MB_OK);
    return kDestinationUnwritable;
  }
  MessageBoxA(window, kFinishedText, kCaption, MB_OK);
  return kConverted;
}

}  // namespace

ConversionOutcome ConvertFile(HWND window, const char* sourcePath, const char* destinationPath) {
  return Convert(window, sourcePath, destinationPath, nullptr);
}

ConversionOutcome ConvertFileWithNormals(HWND window, const char* sourcePath,
                                         const char* destinationPath, bool smooth) {
  return Convert(window, sourcePath, destinationPath, &smooth);
}
