// The conversion driver: the conversion itself, and the one place that shows its outcome in a
// message box.
#include "front/convert_file.h"

#include <algorithm>

#include "front/conversion_report.h"
#include "front/program_settings.h"
#include "front/resources/conversion_dialog.h"
#include "front/resources/texts.h"
#include "writer/qz_writer.h"

namespace {

// Set once at start by the program; the dialog procedure, called by the system, finds it here.
ProgramSettings programSettings;

}  // namespace

void UseProgramSettings(const ProgramSettings& settings) {
  programSettings = settings;
}

Conversion Convert(const char* sourcePath, const char* destinationPath,
                   const ConversionOptions& options) {
  Conversion conversion;
  Model model;
  const LoadResult result = LoadModel(model, sourcePath, &conversion.loadFailure);
  if (result != kLoadOk) {
    conversion.outcome = result == kLoadNotMqo ? kSourceNotMqo : kSourceUnreadable;
    return conversion;
  }
  if (options.visibleOnly) {
    std::erase_if(model.objects, [](const MeshObject& object) { return !object.visible; });
  }
  // Lathe, mirror, subdivision, in that order; normals come from the result when it is written.
  const BakeOptions bake{options.lathe, options.bakeMirrors, options.subdivide};
  conversion.bake = BakeModel(model, bake, MemoryAllowance());
  if (conversion.bake.failure != kWriteCauseNone) {
    conversion.outcome = kDestinationUnwritable;
    conversion.writeFailure = WriteFailure{conversion.bake.failure};
    return conversion;
  }
  if (options.noteModel) {
    conversion.notes = NoteModel(model);
    conversion.notes.patchObjects -= conversion.bake.refusedSurfaces.size();  // each named instead
  }
  if (options.bakeMirrors) conversion.notes.mirrorObjects = 0;  // written whole
  if (WriteModel(model, destinationPath, options.smooth, &conversion.writeFailure) != 0) {
    conversion.outcome = kDestinationUnwritable;
  }
  return conversion;
}

ConversionOutcome ConvertFile(HWND window, const char* sourcePath, const char* destinationPath) {
  // The check box as the user left it when pressing the button.
  const bool flat = window != nullptr && IsDlgButtonChecked(window, IDC_FLAT_NORMALS) != 0;
  const Conversion conversion =
      Convert(sourcePath, destinationPath, ConversionOptionsFor(programSettings, flat));
  MessageBoxA(window, OutcomeText(conversion, programSettings.warnings).c_str(), kCaption, MB_OK);
  return conversion.outcome;
}

int ConvertFiles(const std::vector<std::string>& sourcePaths) {
  const ConversionOptions options = ConversionOptionsFor(programSettings, false);
  std::vector<Conversion> conversions;
  int status = 0;
  for (const std::string& source : sourcePaths) {
    conversions.push_back(Convert(source.c_str(), (source + ".qz").c_str(), options));
    if (conversions.back().outcome != kConverted) status = 1;
  }
  const std::string text = OutcomeListText(sourcePaths, conversions, programSettings.warnings);
  MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK);
  return status;
}

namespace {

const char* OutcomeOnly(ConversionOutcome outcome) {
  const char* const texts[] = {kFinishedText, kReadFailedText, kNotMqoText, kWriteFailedText};
  return texts[outcome];
}

}  // namespace

std::string OutcomeText(const Conversion& conversion, bool warnings) {
  std::string text = OutcomeOnly(conversion.outcome);
  if (!warnings || conversion.outcome != kConverted) return text;
  for (const std::string& warning : WarningTexts(conversion))
    text.append("\n").append(WordedForSettingsFile(warning));
  return text;
}

std::string OutcomeListText(const std::vector<std::string>& sourcePaths,
                            const std::vector<Conversion>& conversions, bool warnings) {
  std::vector<std::string> lines;
  size_t listed = 0;
  for (; listed < sourcePaths.size() && lines.size() < kListedLines; ++listed) {
    const Conversion& conversion = conversions[listed];
    lines.push_back(sourcePaths[listed] + ": " + OutcomeOnly(conversion.outcome));
    if (!warnings || conversion.outcome != kConverted) continue;
    for (const std::string& warning : WarningTexts(conversion)) {
      if (lines.size() < kListedLines)
        lines.push_back(std::string("  ") + WordedForSettingsFile(warning));
    }
  }
  std::string text;
  for (const std::string& line : lines)
    text.append(text.empty() ? "" : "\n").append(line);
  if (listed < sourcePaths.size()) {
    text.append("\n").append(kMoreFilesNote.before);
    text.append(std::to_string(sourcePaths.size() - listed)).append(kMoreFilesNote.after);
  }
  return text;
}
