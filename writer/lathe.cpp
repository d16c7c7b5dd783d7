// Lathe baking: the steps' rotations, the profile's edges and the body's vertices and faces. The
// new face lists are built aside and swapped in, so a failure leaves the object as it was.
#include "writer/lathe.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "writer/qz_format.h"

namespace {

// The double nearest to pi / 2. Every step's angle is reduced with integers to at most an eighth
// of a turn and evaluated by the two Taylor polynomials below, in Horner's form, with nothing but
// IEEE additions, multiplications and divisions (each correctly rounded, never fused into a
// multiply-add in this library): the platform's sin and cos differ between C libraries in their
// last bits, which would change the output's bytes between the Linux and the Windows builds.
constexpr double kHalfPi = 1.5707963267948966;
// Ten terms: the first left out is below x^21 / 21! < 2^-80 for x <= pi / 4.
constexpr int kTerms = 10;

double SineOf(double x) {
  const double x2 = x * x;
  double p = 1;
  for (int k = kTerms; k >= 1; --k)
    p = 1 - x2 / ((2.0 * k) * (2.0 * k + 1)) * p;
  return x * p;
}

double CosineOf(double x) {
  const double x2 = x * x;
  double p = 1;
  for (int k = kTerms; k >= 1; --k)
    p = 1 - x2 / ((2.0 * k - 1) * (2.0 * k)) * p;
  return p;
}

bool Usable(const MeshObject& object, int32_t i) {
  return i >= 0 && static_cast<size_t>(i) < object.vertices.size();
}

// The coordinates of a position along the axis (h) and in the plane it turns in (u, w), with
// (u, w) turned by positive angles from u towards w: right-handed about the axis.
struct Frame {
  int h, u, w;
};
constexpr Frame kFrames[3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}};

float& Coordinate(Vec4& v, int axis) {
  return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}
float Coordinate(const Vec4& v, int axis) {
  return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

// A profile edge: the face it comes from and its two corners' vertices.
struct Edge {
  uint32_t face;
  int32_t a, b;
  bool forward;  // (a, b) order faces away from the axis
};

struct Lathe {
  const MeshObject& object;
  Frame frame = kFrames[object.latheAxis];
  uint32_t steps = LatheSteps(object);
  uint32_t sides = object.lathe == 3 ? 2 : 1;
  std::vector<Edge> edges = {};
  std::vector<int32_t> firstCopy = {};  // a vertex's copy at step 1, or -1 (not turned)

  bool OnAxis(int32_t i) const {
    const Vec4& p = object.vertices[static_cast<size_t>(i)];
    return Coordinate(p, frame.u) == 0 && Coordinate(p, frame.w) == 0;
  }
  double SquaredRadius(int32_t i) const {
    const Vec4& p = object.vertices[static_cast<size_t>(i)];
    const double u = Coordinate(p, frame.u), w = Coordinate(p, frame.w);
    return u * u + w * w;
  }

  // Finds the edges that give quads; counts the faces and corners of the turned object.
  void FindEdges(uint64_t& faces, uint64_t& corners, uint64_t& records) {
    faces = corners = records = 0;
    for (size_t f = 0; f < object.faces.size(); ++f) {
      const Face& face = object.faces[f];
      const int32_t* c = &object.cornerIndices[face.firstCorner];
      const bool profile = face.vertexCount == 2 && Usable(object, c[0]) && Usable(object, c[1]);
      if (!profile) {
        faces += 1, corners += static_cast<uint32_t>(face.vertexCount);
        records += QzRecordsOf(face);
        continue;
      }
      const Vec4& pa = object.vertices[static_cast<size_t>(c[0])];
      const Vec4& pb = object.vertices[static_cast<size_t>(c[1])];
      const bool still = pa.x == pb.x && pa.y == pb.y && pa.z == pb.z;
      if (still || (OnAxis(c[0]) && OnAxis(c[1]))) continue;
      const float ha = Coordinate(pa, frame.h), hb = Coordinate(pb, frame.h);
      // Swept in the positive sense, (a, b, b', a') faces away from the axis when b lies further
      // along it than a; an edge at right angles to it gives a ring that then faces backwards
      // along the axis when b lies further out.
      const bool forward = hb > ha || (hb == ha && SquaredRadius(c[1]) < SquaredRadius(c[0]));
      edges.push_back(Edge{static_cast<uint32_t>(f), c[0], c[1], forward});
      const uint64_t made = uint64_t{steps} * sides;
      const bool triangles = OnAxis(c[0]) || OnAxis(c[1]);
      faces += made, corners += made * (triangles ? 3 : 4), records += made;
    }
  }

  int32_t At(int32_t i, uint32_t step) const {
    step %= steps;
    const int32_t copy = firstCopy[static_cast<size_t>(i)];
    return step == 0 || copy < 0 ? i : copy + static_cast<int32_t>(step - 1);
  }

  // Builds the turned object and swaps it into `target`, the object itself.
  bool Run(MeshObject& target) {
    uint64_t faceTotal = 0, cornerTotal = 0, records = 0;
    FindEdges(faceTotal, cornerTotal, records);
    firstCopy.assign(object.vertices.size(), -1);
    uint64_t vertexTotal = object.vertices.size();
    for (const Edge& edge : edges) {
      for (const int32_t i : {edge.a, edge.b}) {
        if (firstCopy[static_cast<size_t>(i)] >= 0 || OnAxis(i)) continue;
        if (vertexTotal > INT32_MAX) return false;
        firstCopy[static_cast<size_t>(i)] = static_cast<int32_t>(vertexTotal);
        vertexTotal += steps - 1;
      }
    }
    // Both ways, the inner side has vertices of its own, the whole list again after the first:
    // sides sharing a vertex would cancel each other's smooth normals there.
    const uint64_t backSide = sides == 2 ? vertexTotal : 0;
    if (vertexTotal + backSide > INT32_MAX || cornerTotal > UINT32_MAX) return false;

    std::vector<StepTurn> turns(steps);
    for (uint32_t s = 0; s < steps; ++s)
      turns[s] = TurnOfStep(s, steps);
    // The copies are numbered in the order the edges first use their vertices; stored so.
    std::vector<std::pair<int32_t, int32_t>> copies;  // (first copy, vertex)
    for (size_t i = 0; i < firstCopy.size(); ++i) {
      if (firstCopy[i] >= 0) copies.emplace_back(firstCopy[i], static_cast<int32_t>(i));
    }
    std::sort(copies.begin(), copies.end());

    const bool creased = !object.cornerCreases.empty();
    std::vector<Vec4> vertices;
    std::vector<Face> faces;
    std::vector<int32_t> indices;
    std::vector<float> uvs, creases;
    vertices.reserve(static_cast<size_t>(vertexTotal + backSide));
    faces.reserve(static_cast<size_t>(faceTotal));
    indices.reserve(static_cast<size_t>(cornerTotal));
    uvs.reserve(2 * static_cast<size_t>(cornerTotal));
    if (creased) creases.reserve(static_cast<size_t>(cornerTotal));
    // The object changes only once the new lists are whole.

    vertices = object.vertices;
    for (const auto& [first, i] : copies) {
      const Vec4 p = object.vertices[static_cast<size_t>(i)];
      const double u = Coordinate(p, frame.u), w = Coordinate(p, frame.w);
      for (uint32_t s = 1; s < steps; ++s) {
        Vec4 q = p;
        const float nu = static_cast<float>(u * turns[s].cosine - w * turns[s].sine);
        const float nw = static_cast<float>(u * turns[s].sine + w * turns[s].cosine);
        Coordinate(q, frame.u) = nu == 0 ? 0.0f : nu;  // no negative zero
        Coordinate(q, frame.w) = nw == 0 ? 0.0f : nw;
        vertices.push_back(q);
      }
    }
    for (size_t i = 0; i < backSide; ++i) {
      const Vec4 v = vertices[i];
      vertices.push_back(v);
    }
    for (const Face& face : object.faces) {
      const int32_t* c = &object.cornerIndices[face.firstCorner];
      if (face.vertexCount == 2 && Usable(object, c[0]) && Usable(object, c[1])) continue;
      const auto first = static_cast<uint32_t>(indices.size());
      const auto k = static_cast<uint32_t>(face.vertexCount);
      indices.insert(indices.end(), c, c + k);
      const float* uv = &object.cornerUvs[2 * size_t{face.firstCorner}];
      uvs.insert(uvs.end(), uv, uv + 2 * size_t{k});
      if (creased) {
        const float* crease = &object.cornerCreases[face.firstCorner];
        creases.insert(creases.end(), crease, crease + k);
      }
      faces.push_back(Face{face.material, face.vertexCount, first});
    }
    for (const Edge& edge : edges) {
      const int32_t material = object.faces[edge.face].material;
      for (uint32_t s = 0; s < steps; ++s) {
        const float u0 = static_cast<float>(s) / static_cast<float>(steps);
        const float u1 = static_cast<float>(s + 1) / static_cast<float>(steps);
        // (a, b, b', a') with its texture coordinates, a corner on the axis taken once.
        const int32_t loop[4] = {At(edge.a, s), At(edge.b, s), At(edge.b, s + 1),
                                 At(edge.a, s + 1)};
        const float loopUv[4][2] = {{u0, 0}, {u0, 1}, {u1, 1}, {u1, 0}};
        uint32_t kept[4] = {}, n = 0;
        for (uint32_t m = 0; m < 4; ++m) {
          if (loop[m] != loop[(m + 3) % 4]) kept[n++] = m;
        }
        for (uint32_t side = 0; side < sides; ++side) {
          // Outward first: lathe 2 alone faces inward.
          const bool inward = (side == 1) || object.lathe == 2;
          const bool reversed = inward == edge.forward;
          const auto first = static_cast<uint32_t>(indices.size());
          const auto offset = static_cast<int32_t>(side == 1 ? backSide : 0);
          for (uint32_t j = 0; j < n; ++j) {
            const uint32_t m = kept[reversed ? (n - j) % n : j];
            indices.push_back(loop[m] + offset);
            uvs.push_back(loopUv[m][0]);
            uvs.push_back(loopUv[m][1]);
            if (creased) creases.push_back(0.0f);
          }
          faces.push_back(Face{material, static_cast<int32_t>(n), first});
        }
      }
    }
    target.vertices.swap(vertices);
    target.faces.swap(faces);
    target.cornerIndices.swap(indices);
    target.cornerUvs.swap(uvs);
    target.cornerCreases.swap(creases);
    return true;
  }
};

}  // namespace

StepTurn TurnOfStep(uint32_t s, uint32_t n) {
  // s / n of a turn is q quarter turns and r / n of a quarter turn (0 <= r < n); beyond an eighth
  // its cosine and sine are the sine and cosine of the rest of the quarter.
  const uint32_t q = 4 * s / n, r = 4 * s - q * n;
  const bool upper = 2 * r > n;
  const double x = kHalfPi * static_cast<double>(upper ? n - r : r) / static_cast<double>(n);
  const double c = upper ? SineOf(x) : CosineOf(x), si = upper ? CosineOf(x) : SineOf(x);
  switch (q) {
    case 0:
      return {c, si};
    case 1:
      return {-si, c};
    case 2:
      return {-c, -si};
    default:
      return {si, -c};
  }
}

uint32_t LatheSteps(const MeshObject& object) {
  return static_cast<uint32_t>(std::clamp(object.latheSegments, 3, 256));
}

bool TurnsAsLathe(const MeshObject& object) {
  return object.lathe >= 1 && object.lathe <= 3 && object.latheAxis >= 0 && object.latheAxis <= 2;
}

uint64_t LatheRecords(const MeshObject& object) {
  uint64_t records = 0;
  if (!TurnsAsLathe(object)) {
    for (const Face& face : object.faces)
      records += QzRecordsOf(face);
    return records;
  }
  try {
    uint64_t faces = 0, corners = 0;
    Lathe{object}.FindEdges(faces, corners, records);
  } catch (const std::exception&) {
    return UINT64_MAX;  // no memory even to list the edges
  }
  return records;
}

bool BakeLathe(MeshObject& object) {
  if (!TurnsAsLathe(object)) return true;
  try {
    return Lathe{object}.Run(object);
  } catch (const std::exception&) {
    return false;  // no memory for the new lists: the object has not changed
  }
}
