// The program's entry on Windows: the settings beside the program read, then the raw command line
// after the program's name: empty, the conversion dialog; one path, converted to the path with
// ".qz" appended; several, each converted so, all reported in one message box.
#include "front/command_line.h"
#include "front/conversion_dialog.h"
#include "front/convert_file.h"
#include "front/program_settings.h"
#include "front/resources/conversion_dialog.h"
#include "front/window_services.h"

namespace {

bool IsFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  UseProgramSettings(ReadProgramSettings(ProgramSettingsPath()));
  const RawCommandLine line =
      InterpretRawCommandLine(commandLine != nullptr ? commandLine : "", IsFile);
  if (line.dialog) {
    const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONVERSION), nullptr,
                                           ConversionDialogProc, 0);
    return result == -1 ? 1 : 0;
  }
  if (line.sourcePaths.size() >= 2) return ConvertFiles(line.sourcePaths);
  // 0 only when the conversion finished; the user has read why otherwise.
  const std::string& source = line.sourcePaths.front();
  return ConvertFile(nullptr, source.c_str(), (source + ".qz").c_str()) == kConverted ? 0 : 1;
}
