// The program's entry on Windows. The raw command line after the program's name: empty, the
// conversion dialog; otherwise one quoted path, converted to the path with ".qz" appended.
#include "front/command_line.h"
#include "front/conversion_dialog.h"
#include "front/resources/conversion_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const RawCommandLine line = InterpretRawCommandLine(commandLine != nullptr ? commandLine : "");
  if (line.dialog) {
    const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONVERSION), nullptr,
                                           ConversionDialogProc, 0);
    return result == -1 ? 1 : 0;
  }
  // Smooth normals; 0 only when the conversion finished: the user has read why otherwise.
  const DialogModel model{line.sourcePath, line.destinationPath};
  return ConvertAndTell(nullptr, model) == kConverted ? 0 : 1;
}
