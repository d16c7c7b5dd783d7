// The conversion driver.
#include "front/convert_file.h"

#include <algorithm>

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
  if (options.bakeMirrors) {  // written whole, but for those left as stored
    conversion.notes.mirrorObjects = conversion.bake.mirrorsLeft.unbaked;
    conversion.notes.localMirrorObjects = conversion.bake.mirrorsLeft.localFrame;
  }
  // The modes that show the model as the modeller does write what the default never wrote, so
  // they owe no one today's wrapping record count.
  WriteOptions write;
  write.normals = !options.smooth         ? kFlatNormals
                  : options.shadedNormals ? kShadedNormals
                                          : kSmoothNormals;
  write.splitLongObjects =
      options.bakeMirrors || options.lathe || options.subdivide || options.shadedNormals;
  if (write.splitLongObjects) conversion.notes.wrappedObjects = 0;
  if (WriteModel(model, destinationPath, write, &conversion.writeFailure) != 0) {
    conversion.outcome = kDestinationUnwritable;
  }
  return conversion;
}
