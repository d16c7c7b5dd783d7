// The conversion driver: the conversion itself, and the one place that shows its outcome in a
// message box.
#include "front/convert_file.h"

#include <algorithm>

#include "front/resources/conversion_dialog.h"
#include "front/resources/texts.h"
#include "writer/qz_writer.h"

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
  const bool smooth = window == nullptr || IsDlgButtonChecked(window, IDC_FLAT_NORMALS) == 0;
  const ConversionOutcome outcome =
      Convert(sourcePath, destinationPath, ConversionOptions{smooth}).outcome;
  const char* const texts[] = {kFinishedText, kReadFailedText, kNotMqoText, kWriteFailedText};
  MessageBoxA(window, texts[outcome], kCaption, MB_OK);
  return outcome;
}
