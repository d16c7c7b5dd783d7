// Mirror baking: where each vertex lands in each reflected copy, the reflected faces, and the
// bridges across the seam of connected halves. Everything is sized and allocated before the object
// changes, so a failure leaves it as it was.
#include "writer/mirror.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <exception>
#include <utility>
#include <vector>

namespace {

float Coordinate(const Vec4& v, int axis) {
  return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

// The planes (X = 1, Y = 2, Z = 4) that a position lies on.
uint32_t PlanesThrough(const Vec4& v) {
  return (v.x == 0 ? 1u : 0u) | (v.y == 0 ? 2u : 0u) | (v.z == 0 ? 4u : 0u);
}

float Negated(float c) {
  return c == 0 ? 0.0f : -c;
}

Vec4 Reflected(Vec4 v, uint32_t planes) {
  if (planes & 1u) v.x = Negated(v.x);
  if (planes & 2u) v.y = Negated(v.y);
  if (planes & 4u) v.z = Negated(v.z);
  return v;
}

bool Odd(uint32_t planes) {
  return std::popcount(planes) % 2 == 1;
}

// Corner j of a k-corner face turned over takes the face's corner (2 - j) mod k.
uint32_t TurnedOver(uint32_t j, uint32_t k) {
  return (k + 2 - j) % k;
}

// An edge of one face only, from its corner `corner` to the next.
struct OpenEdge {
  uint32_t face, corner;
};

struct Bake {
  MeshObject& object;
  uint32_t planes;
  bool connected;
  float distance;
  size_t vertexCount = object.vertices.size();  // the object's own, before baking
  size_t faceCount = object.faces.size();
  bool creased = !object.cornerCreases.empty();
  std::vector<int32_t> copyIndex[8] = {};  // [c][v]: vertex v in the copy on planes c (c > 0)
  std::vector<uint8_t> facePlanes = {};    // connected halves: the planes each face lies on wholly
  std::vector<OpenEdge> openEdges = {};    // connected halves, in the order of the faces
  bool counting = true;                    // the first pass only counts what the second adds
  uint64_t vertexTotal = 0, addedFaces = 0, addedCorners = 0;

  // Vertex i (or -1, none) in the copy on planes `copy`.
  int32_t At(uint32_t copy, int32_t i) const {
    if (i < 0) return -1;
    return copy == 0 ? i : copyIndex[copy][static_cast<size_t>(i)];
  }
  // The vertex corner j of the face names, -1 when none.
  int32_t CornerIndex(const Face& face, uint32_t j) const {
    return CornerAt(object, face, j).vertex;
  }
  void AppendUv(const Face& face, uint32_t j) {
    const size_t at = 2 * (size_t{face.firstCorner} + j);
    const float u = object.cornerUvs[at], v = object.cornerUvs[at + 1];
    object.cornerUvs.push_back(u);
    object.cornerUvs.push_back(v);
  }
  // The planes of a combination whose copies of a face are left out: those it lies on wholly.
  uint32_t SkippedPlanes(size_t f) const { return connected ? facePlanes[f] : 0u; }

  // Assigns the vertices of every copy, new ones numbered after the object's; false when they
  // would not fit 32-bit indices.
  bool NumberVertices() {
    vertexTotal = vertexCount;
    for (uint32_t c = 1; c < 8; ++c) {
      if ((c & ~planes) != 0) continue;
      copyIndex[c].resize(vertexCount);
      for (size_t v = 0; v < vertexCount; ++v) {
        const uint32_t unmoved = connected ? PlanesThrough(object.vertices[v]) : 0u;
        const uint32_t shared = c & ~unmoved;
        if (shared == c && vertexTotal >= INT32_MAX) return false;
        copyIndex[c][v] =
            shared != c ? At(shared, static_cast<int32_t>(v)) : static_cast<int32_t>(vertexTotal++);
      }
    }
    return true;
  }

  void FindFacePlanes() {
    facePlanes.assign(faceCount, uint8_t{0});
    for (size_t f = 0; f < faceCount; ++f) {
      const Face& face = object.faces[f];
      uint32_t on = 7;
      for (uint32_t j = 0; j < static_cast<uint32_t>(face.vertexCount); ++j) {
        // A corner outside the list is written at the origin, which lies on every plane.
        on &= PlanesThrough(CornerAt(object, face, j).position);
      }
      facePlanes[f] = static_cast<uint8_t>(on);
    }
  }

  // The edges of faces of three corners or more that no other face has, whichever its direction.
  void FindOpenEdges() {
    std::vector<std::pair<uint64_t, uint64_t>> edges;  // (ends, face and corner)
    edges.reserve(object.cornerIndices.size());
    for (size_t f = 0; f < faceCount; ++f) {
      const Face& face = object.faces[f];
      const auto k = static_cast<uint32_t>(face.vertexCount);
      if (k < 3) continue;
      for (uint32_t j = 0; j < k; ++j) {
        const int32_t a = CornerIndex(face, j), b = CornerIndex(face, (j + 1) % k);
        if (a < 0 || b < 0 || a == b) continue;
        const auto low = static_cast<uint64_t>(std::min(a, b));
        const auto high = static_cast<uint64_t>(std::max(a, b));
        edges.emplace_back(low << 32 | high, uint64_t{f} << 32 | j);
      }
    }
    std::sort(edges.begin(), edges.end());
    std::vector<uint64_t> open;
    for (size_t e = 0, end = 0; e < edges.size(); e = end) {
      for (end = e + 1; end < edges.size() && edges[end].first == edges[e].first;)
        ++end;
      if (end == e + 1) open.push_back(edges[e].second);
    }
    std::sort(open.begin(), open.end());
    openEdges.reserve(open.size());
    for (const uint64_t edge : open) {
      const OpenEdge e{static_cast<uint32_t>(edge >> 32), static_cast<uint32_t>(edge)};
      if (!ClosedByCopy(e)) openEdges.push_back(e);
    }
  }

  // An edge with both ends on a named plane that its face does not lie on wholly: the face's copy
  // across that plane shares those ends, so once baked the edge has two faces.
  bool ClosedByCopy(const OpenEdge& edge) const {
    const Face& face = object.faces[edge.face];
    const auto k = static_cast<uint32_t>(face.vertexCount);
    const Vec4& a = CornerAt(object, face, edge.corner).position;
    const Vec4& b = CornerAt(object, face, (edge.corner + 1) % k).position;
    return (PlanesThrough(a) & PlanesThrough(b) & planes & ~uint32_t{facePlanes[edge.face]}) != 0;
  }

  bool Near(const OpenEdge& edge, int axis) const {
    const Face& face = object.faces[edge.face];
    const auto k = static_cast<uint32_t>(face.vertexCount);
    for (const uint32_t j : {edge.corner, (edge.corner + 1) % k}) {
      const Vec4& p = CornerAt(object, face, j).position;
      if (!(std::fabs(Coordinate(p, axis)) <= distance)) return false;
    }
    return true;
  }

  void CopyFace(size_t f, uint32_t copy) {
    const Face face = object.faces[f];
    const auto k = static_cast<uint32_t>(face.vertexCount);
    ++addedFaces, addedCorners += k;
    if (counting) return;
    const auto first = static_cast<uint32_t>(object.cornerIndices.size());
    for (uint32_t j = 0; j < k; ++j) {
      const uint32_t from = Odd(copy) ? TurnedOver(j, k) : j;
      object.cornerIndices.push_back(At(copy, CornerIndex(face, from)));
      AppendUv(face, from);
      // Turned over, the edge from corner j to j + 1 is the face's edge from (1 - j) mod k to
      // (2 - j) mod k walked backwards.
      const uint32_t edge = Odd(copy) ? (k + 1 - j) % k : j;
      if (creased) object.cornerCreases.push_back(object.cornerCreases[face.firstCorner + edge]);
    }
    object.faces.push_back(Face{face.material, face.vertexCount, first});
  }

  // The face joining an open edge a -> b of the copy on planes `near` to its reflection a' -> b'
  // across `plane`: (a, a', b', b), turned over with that copy, a corner shared with its
  // reflection taken once.
  void Bridge(const OpenEdge& edge, uint32_t near, uint32_t plane) {
    const Face face = object.faces[edge.face];
    const uint32_t ja = edge.corner;
    const uint32_t jb = (edge.corner + 1) % static_cast<uint32_t>(face.vertexCount);
    const int32_t a = CornerIndex(face, ja), b = CornerIndex(face, jb);
    const uint32_t far = near | plane;
    const int32_t loop[4] = {At(near, a), At(far, a), At(far, b), At(near, b)};
    const uint32_t uvFrom[4] = {ja, ja, jb, jb};
    uint32_t kept[4] = {}, k = 0;
    for (uint32_t m = 0; m < 4; ++m) {
      if (loop[m] != loop[(m + 3) % 4]) kept[k++] = m;
    }
    if (k < 3) return;
    ++addedFaces, addedCorners += k;  // counted as they come: a triangle takes three corners
    if (counting) return;
    const auto first = static_cast<uint32_t>(object.cornerIndices.size());
    for (uint32_t j = 0; j < k; ++j) {
      const uint32_t m = kept[Odd(near) ? TurnedOver(j, k) : j];
      object.cornerIndices.push_back(loop[m]);
      AppendUv(face, uvFrom[m]);
      if (creased) object.cornerCreases.push_back(0.0f);
    }
    object.faces.push_back(Face{face.material, static_cast<int32_t>(k), first});
  }

  void AddFaces() {
    for (uint32_t c = 1; c < 8; ++c) {
      if ((c & ~planes) != 0) continue;
      for (size_t f = 0; f < faceCount; ++f) {
        if ((SkippedPlanes(f) & c) == 0) CopyFace(f, c);
      }
    }
    for (int axis = 0; axis < 3 && connected; ++axis) {
      const uint32_t plane = 1u << axis;
      if ((planes & plane) == 0) continue;
      for (uint32_t near = 0; near < 8; ++near) {
        if ((near & ~planes) != 0 || (near & plane) != 0) continue;
        for (const OpenEdge& edge : openEdges) {
          // Only from copies the face has.
          if ((SkippedPlanes(edge.face) & near) == 0 && Near(edge, axis)) Bridge(edge, near, plane);
        }
      }
    }
  }

  void AddVertices() {
    for (uint32_t c = 1; c < 8; ++c) {
      if ((c & ~planes) != 0) continue;
      for (size_t v = 0; v < vertexCount; ++v) {
        const uint32_t unmoved = connected ? PlanesThrough(object.vertices[v]) : 0u;
        if ((c & ~unmoved) == c) object.vertices.push_back(Reflected(object.vertices[v], c));
      }
    }
  }

  bool Run() {
    if (!NumberVertices()) return false;
    if (connected) FindFacePlanes(), FindOpenEdges();
    AddFaces();  // counting
    const uint64_t corners = object.cornerIndices.size() + addedCorners;
    if (corners > UINT32_MAX) return false;
    object.vertices.reserve(static_cast<size_t>(vertexTotal));
    object.faces.reserve(faceCount + static_cast<size_t>(addedFaces));
    object.cornerIndices.reserve(static_cast<size_t>(corners));
    object.cornerUvs.reserve(2 * static_cast<size_t>(corners));
    if (creased) object.cornerCreases.reserve(static_cast<size_t>(corners));
    // Nothing below allocates: the object changes only once everything it needs is in hand.
    for (const Face& face : object.faces) {
      for (uint32_t j = 0; j < static_cast<uint32_t>(face.vertexCount); ++j)
        object.cornerIndices[face.firstCorner + j] = CornerIndex(face, j);
    }
    AddVertices();
    counting = false;
    AddFaces();
    return true;
  }
};

bool IdentityFrame(const MeshObject& object) {
  for (int i = 0; i < 3; ++i) {
    if (object.scale[i] != 1 || object.rotation[i] != 0 || object.translation[i] != 0) return false;
  }
  return true;
}

}  // namespace

MirrorBake BakeMirror(MeshObject& object) {
  assert(ValidateObject(object) == kModelSound);
  const uint32_t planes = static_cast<uint32_t>(object.mirrorAxis) & 7u;
  if ((object.mirror != 1 && object.mirror != 2) || planes == 0) return kMirrorNone;
  if ((object.mirrorAxis & 8) != 0 && !IdentityFrame(object)) return kMirrorLocalFrame;
  const float distance = object.mirrorDistance >= 0 ? object.mirrorDistance : kDefaultJoinDistance;
  try {
    if (Bake{object, planes, object.mirror == 2, distance}.Run()) return kMirrorBaked;
  } catch (const std::exception&) {
    // No memory for the tables or the new records: the object has not changed.
  }
  return kMirrorLeftAsStored;
}

MirrorsLeft BakeMirrors(Model& model) {
  MirrorsLeft left;
  for (MeshObject& object : model.objects) {
    const MirrorBake result = BakeMirror(object);
    left.localFrame += result == kMirrorLocalFrame;
    left.unbaked += result == kMirrorLeftAsStored;
  }
  return left;
}
