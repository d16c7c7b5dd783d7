// The program's entry on Windows: the settings beside the program read, then the raw command line
// after the program's name: empty, the conversion dialog; one path, converted to the path with
// ".qz" appended; several, each converted so, all reported in one message box.
#include "front/command_line.h"
#include "front/conversion_dialog.h"
#include "front/program_settings.h"
#include "front/resources/conversion_dialog.h"

namespace {

bool IsFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const ProgramSettings settings = ReadProgramSettings(ProgramSettingsPath());
  const RawCommandLine line =
      InterpretRawCommandLine(commandLine != nullptr ? commandLine : "", IsFile);
  if (line.dialog) {
    const INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONVERSION), nullptr, ConversionDialogProc,
                        reinterpret_cast<LPARAM>(&settings));
    return result == -1 ? 1 : 0;
  }
  if (line.sourcePaths.size() >= 2) return ConvertEachAndTell(line.sourcePaths, settings);
  // 0 only when the conversion finished: the user has read why otherwise.
  const std::string& source = line.sourcePaths.front();
  const DialogModel model{source, source + ".qz", false, settings};
  return ConvertAndTell(nullptr, model) == kConverted ? 0 : 1;
}
