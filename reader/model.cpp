// The model's structural checks: what every stage after the reader relies on.
#include "reader/model.h"

ModelFault ValidateObject(const MeshObject& object) {
  uint64_t corners = 0;
  for (const Face& face : object.faces) {
    if (face.vertexCount < 1) return kModelFaceNoCorners;
    if (face.firstCorner != corners) return kModelFaceOutOfOrder;
    corners += static_cast<uint64_t>(face.vertexCount);
  }
  if (corners != object.cornerIndices.size()) return kModelCornerCount;
  if (object.cornerUvs.size() != 2 * corners) return kModelUvCount;
  if (!object.cornerCreases.empty() && object.cornerCreases.size() != corners) {
    return kModelCreaseCount;
  }
  for (const Vec4& v : object.vertices) {
    if (v.w != 1.0f) return kModelPositionW;
  }
  return kModelSound;
}

ModelFault ValidateModel(const Model& model) {
  if (model.textureCount < 0) return kModelTextureCount;
  for (const Material& material : model.materials) {
    if (material.textureIndex < -1 || material.textureIndex >= model.textureCount) {
      return kModelTextureNumber;
    }
  }
  for (const MeshObject& object : model.objects) {
    const ModelFault fault = ValidateObject(object);
    if (fault != kModelSound) return fault;
  }
  return kModelSound;
}
