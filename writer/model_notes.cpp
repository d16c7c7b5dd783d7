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
    notes.latheObjects += object.lathe;
    notes.patchObjects += object.patch != 0;
    uint64_t records = 0;
    for (const Face& face : object.faces) {
      notes.fannedFaces += face.vertexCount > 4;
      notes.shortFaces += face.vertexCount < 3;
      records += QzRecordsOf(face);
      notes.materialsOutOfRange +=
          face.material < 0 || static_cast<size_t>(face.material) >= model.materials.size();
    }
    for (const int32_t index : object.cornerIndices)
      notes.cornersOutOfRange += index < 0 || static_cast<size_t>(index) >= object.vertices.size();
    notes.wrappedObjects += records > 0xFFFF;
  }
  return notes;
}
