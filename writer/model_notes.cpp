// Counting what the QZ file leaves out, with the writer's own rules for records and slots.
#include "writer/model_notes.h"

#include "writer/qz_format.h"

ModelNotes NoteModel(const Model& model) {
  ModelNotes notes;
  for (const Material& material : model.materials) {
    if (material.textureIndex >= 0 && material.textureName.size() > kQzTextureSlotSize) {
      ++notes.cutTextureNames;
    }
  }
  for (const MeshObject& object : model.objects) {
    notes.hiddenObjects += !object.visible;
    notes.mirrorObjects += object.mirror != 0;
    notes.latheObjects += object.lathe != 0;
    notes.patchObjects += object.patch != 0;
    uint64_t records = 0, outside = 0;
    const uint64_t materials = model.materials.size();
    for (const Face& face : object.faces) {
      notes.fannedFaces += face.vertexCount > 4;
      notes.shortFaces += face.vertexCount < 3;
      records += QzRecordsOf(face);
      // A negative index, taken as unsigned, is as far out of range as a large one.
      notes.materialsOutOfRange += uint64_t{static_cast<uint32_t>(face.material)} >= materials;
      for (uint32_t k = 0; k < static_cast<uint32_t>(face.vertexCount); ++k)
        outside += CornerAt(object, face, k).vertex < 0;
    }
    notes.cornersOutOfRange += outside;
    notes.wrappedObjects += records > 0xFFFF;
  }
  return notes;
}
