// Face normals accumulated into vertex or face normals.
#include "writer/normals.h"

#include "writer/vec4.h"

void ComputeNormals(const MeshObject& object, bool smooth, std::vector<Vec4>& normals) {
  normals.assign(smooth ? object.vertices.size() : object.faces.size(), Vec4{0, 0, 0, 0});
  for (size_t i = 0; i < object.faces.size(); ++i) {
    const Face& face = object.faces[i];
    if (face.vertexCount < 3) continue;
    const CornerPoint c0 = CornerAt(object, face, 0), c1 = CornerAt(object, face, 1),
                      c2 = CornerAt(object, face, 2);
    if ((c0.vertex | c1.vertex | c2.vertex) < 0) continue;  // one of them outside
    Vec4 a, b, n;
    Vec4Sub(a, c1.position, c0.position);
    Vec4Sub(b, c2.position, c0.position);
    Vec4Cross(n, b, a);
    Vec4Normalize(n);
    if (smooth) {
      for (uint32_t k = 0; k < static_cast<uint32_t>(face.vertexCount); ++k) {
        const int32_t vertex = CornerAt(object, face, k).vertex;
        if (vertex >= 0) Vec4Add(normals[static_cast<size_t>(vertex)], n);
      }
    } else {
      Vec4Copy(normals[i], n);
    }
  }
  for (Vec4& normal : normals)
    Vec4Normalize(normal);
}
