// Face normals accumulated into vertex or face normals.
#include "writer/normals.h"

#include "writer/vec4.h"

namespace {

bool InRange(const MeshObject& object, int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < object.vertices.size();
}

}  // namespace

void ComputeNormals(const MeshObject& object, bool smooth, std::vector<Vec4>& normals) {
  normals.assign(smooth ? object.vertices.size() : object.faces.size(), Vec4{0, 0, 0, 0});
  for (size_t i = 0; i < object.faces.size(); ++i) {
    const Face& face = object.faces[i];
    if (face.vertexCount < 3) continue;
    const int32_t* corners = object.cornerIndices.data() + face.firstCorner;
    if (!InRange(object, corners[0]) || !InRange(object, corners[1]) ||
        !InRange(object, corners[2])) {
      continue;
    }
    const Vec4& p0 = object.vertices[static_cast<size_t>(corners[0])];
    const Vec4& p1 = object.vertices[static_cast<size_t>(corners[1])];
    const Vec4& p2 = object.vertices[static_cast<size_t>(corners[2])];
    Vec4 a, b, n;
    Vec4Sub(a, p1, p0);
    Vec4Sub(b, p2, p0);
    Vec4Cross(n, b, a);
    Vec4Normalize(n);
    if (smooth) {
      for (int32_t k = 0; k < face.vertexCount; ++k) {
        if (InRange(object, corners[k])) Vec4Add(normals[static_cast<size_t>(corners[k])], n);
      }
    } else {
      Vec4Copy(normals[i], n);
    }
  }
  for (Vec4& normal : normals)
    Vec4Normalize(normal);
}
