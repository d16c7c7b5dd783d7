// Subdivision through OpenSubdiv's Far interface: the object's faces and texture coordinates as a
// topology descriptor with one face-varying channel, uniform refinement, primvar refinement level
// by level, and the last level's quads as the object's new faces. OpenSubdiv's error and warning
// callbacks are ours and say nothing: a refusal is this program's to report.
#include "writer/subdivide.h"

#include <opensubdiv/far/error.h>
#include <opensubdiv/far/primvarRefiner.h>
#include <opensubdiv/far/topologyDescriptor.h>
#include <opensubdiv/far/topologyRefiner.h>
#include <opensubdiv/far/topologyRefinerFactory.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <exception>
#include <memory>
#include <tuple>
#include <vector>

#include "writer/qz_format.h"

namespace {

using namespace OpenSubdiv;

// A position or a pair of texture coordinates as the primvar refiner wants them.
template <size_t N>
struct Primvar {
  float value[N];
  void Clear() {
    for (float& v : value)
      v = 0;
  }
  void AddWithWeight(const Primvar& source, float weight) {
    for (size_t i = 0; i < N; ++i)
      value[i] += weight * source.value[i];
  }
};
using Position = Primvar<3>;
using Coordinates = Primvar<2>;

void Quiet(Far::ErrorType, const char*) {}
void QuietWarning(const char*) {}

// Whether the refiner takes the face: three corners or more, each a vertex of the object, none
// twice.
bool Refinable(const MeshObject& object, const Face& face, std::vector<int32_t>& scratch) {
  if (face.vertexCount < 3) return false;
  const int32_t* c = &object.cornerIndices[face.firstCorner];
  scratch.assign(c, c + face.vertexCount);
  for (const int32_t i : scratch) {
    if (i < 0 || static_cast<size_t>(i) >= object.vertices.size()) return false;
  }
  std::sort(scratch.begin(), scratch.end());
  return std::adjacent_find(scratch.begin(), scratch.end()) == scratch.end();
}

// A float's bits, with both zeros alike, for telling equal texture coordinates apart from others.
uint32_t Key(float value) {
  return value == 0 ? 0u : std::bit_cast<uint32_t>(value);
}

Sdc::Options RulesOf(const MeshObject& object) {
  Sdc::Options options;
  options.SetVtxBoundaryInterpolation(Sdc::Options::VTX_BOUNDARY_EDGE_AND_CORNER);
  options.SetFVarLinearInterpolation(Sdc::Options::FVAR_LINEAR_BOUNDARIES);
  options.SetTriangleSubdivision(Sdc::Options::TRI_SUB_CATMARK);
  if (object.patch != 4) return options;  // patch 3 stores no rules: these are our choice
  if (object.patchMeshInterp == 1) {
    options.SetVtxBoundaryInterpolation(Sdc::Options::VTX_BOUNDARY_EDGE_ONLY);
  }
  // The modeller's order of the texture-coordinate rules.
  constexpr Sdc::Options::FVarLinearInterpolation kUvRules[] = {
      Sdc::Options::FVAR_LINEAR_ALL,           Sdc::Options::FVAR_LINEAR_NONE,
      Sdc::Options::FVAR_LINEAR_CORNERS_PLUS1, Sdc::Options::FVAR_LINEAR_BOUNDARIES,
      Sdc::Options::FVAR_LINEAR_CORNERS_ONLY,  Sdc::Options::FVAR_LINEAR_CORNERS_PLUS2,
  };
  if (object.patchUvInterp >= 0 && object.patchUvInterp <= 5) {
    options.SetFVarLinearInterpolation(kUvRules[object.patchUvInterp]);
  }
  if (object.patchSmoothTri == 1) options.SetTriangleSubdivision(Sdc::Options::TRI_SUB_SMOOTH);
  return options;
}

// The sharpness of a crease value: for patch 3 any positive value is an infinitely sharp edge,
// for patch 4 the value itself (a negative one, or not a number, is none).
float Sharpness(const MeshObject& object, float value) {
  if (!(value > 0)) return 0;
  return object.patch == 3 ? Sdc::Crease::SHARPNESS_INFINITE : value;
}

struct Refinement {
  MeshObject& object;
  int levels = SubdivisionLevels(object);
  std::vector<uint32_t> refined = {};  // the faces given to the refiner, in order
  std::vector<int> cornerCounts = {};
  std::vector<Far::Index> corners = {};
  std::vector<Far::Index> uvIndices = {};
  std::vector<Coordinates> uvValues = {};
  std::vector<Far::Index> creasePairs = {};
  std::vector<float> creaseWeights = {};

  void Gather() {
    std::vector<int32_t> scratch;
    for (size_t f = 0; f < object.faces.size(); ++f) {
      const Face& face = object.faces[f];
      if (!Refinable(object, face, scratch)) continue;
      refined.push_back(static_cast<uint32_t>(f));
      cornerCounts.push_back(face.vertexCount);
      const int32_t* c = &object.cornerIndices[face.firstCorner];
      corners.insert(corners.end(), c, c + face.vertexCount);
    }
  }

  // One face-varying value per distinct (vertex, u, v) among the refined corners.
  void NumberUvs() {
    std::vector<std::tuple<int32_t, uint32_t, uint32_t, uint32_t>> keys;  // ..., corner
    keys.reserve(corners.size());
    uint32_t at = 0;
    for (const uint32_t f : refined) {
      const Face& face = object.faces[f];
      for (uint32_t k = 0; k < static_cast<uint32_t>(face.vertexCount); ++k, ++at) {
        const float* uv = &object.cornerUvs[2 * (size_t{face.firstCorner} + k)];
        keys.emplace_back(corners[at], Key(uv[0]), Key(uv[1]), at);
      }
    }
    std::sort(keys.begin(), keys.end());
    uvIndices.assign(corners.size(), 0);
    for (size_t i = 0; i < keys.size(); ++i) {
      const auto& [vertex, u, v, corner] = keys[i];
      const bool same = i > 0 && std::get<0>(keys[i - 1]) == vertex &&
                        std::get<1>(keys[i - 1]) == u && std::get<2>(keys[i - 1]) == v;
      if (!same) {
        uvValues.push_back(Coordinates{{std::bit_cast<float>(u), std::bit_cast<float>(v)}});
      }
      uvIndices[corner] = static_cast<Far::Index>(uvValues.size() - 1);
    }
  }

  // Each edge of the refined faces that some face creases, once, with its largest sharpness.
  void FindCreases() {
    if (object.cornerCreases.empty()) return;
    std::vector<std::tuple<int32_t, int32_t, float>> edges;
    uint32_t at = 0;
    for (const uint32_t f : refined) {
      const Face& face = object.faces[f];
      const auto k = static_cast<uint32_t>(face.vertexCount);
      for (uint32_t j = 0; j < k; ++j) {
        const float sharpness = Sharpness(object, object.cornerCreases[face.firstCorner + j]);
        const int32_t a = corners[at + j], b = corners[at + (j + 1) % k];
        if (sharpness > 0) edges.emplace_back(std::min(a, b), std::max(a, b), sharpness);
      }
      at += k;
    }
    std::sort(edges.begin(), edges.end());
    for (size_t i = 0; i < edges.size(); ++i) {
      const auto& [a, b, sharpness] = edges[i];
      const bool last =
          i + 1 == edges.size() || std::get<0>(edges[i + 1]) != a || std::get<1>(edges[i + 1]) != b;
      if (!last) continue;  // sorted by sharpness too: the last of an edge is its largest
      creasePairs.push_back(a);
      creasePairs.push_back(b);
      creaseWeights.push_back(sharpness);
    }
  }

  SubdivisionResult Run() {
    Gather();
    if (refined.empty()) return kSurfaceRefused;
    const uint64_t quads = corners.size() << (2 * (levels - 1));
    if (quads > UINT32_MAX / 4 || corners.size() > INT32_MAX) return kSurfaceNoMemory;
    NumberUvs();
    FindCreases();

    Far::TopologyDescriptor descriptor;
    descriptor.numVertices = static_cast<int>(object.vertices.size());
    descriptor.numFaces = static_cast<int>(refined.size());
    descriptor.numVertsPerFace = cornerCounts.data();
    descriptor.vertIndicesPerFace = corners.data();
    descriptor.numCreases = static_cast<int>(creaseWeights.size());
    descriptor.creaseVertexIndexPairs = creasePairs.data();
    descriptor.creaseWeights = creaseWeights.data();
    Far::TopologyDescriptor::FVarChannel channel;
    channel.numValues = static_cast<int>(uvValues.size());
    channel.valueIndices = uvIndices.data();
    descriptor.numFVarChannels = 1;
    descriptor.fvarChannels = &channel;

    using Factory = Far::TopologyRefinerFactory<Far::TopologyDescriptor>;
    const std::unique_ptr<Far::TopologyRefiner> refiner(
        Factory::Create(descriptor, Factory::Options(Sdc::SCHEME_CATMARK, RulesOf(object))));
    if (refiner == nullptr) return kSurfaceRefused;
    const bool limit = object.patch == 4 && object.patchLimitSurface == 1;
    Far::TopologyRefiner::UniformOptions uniform(levels);
    uniform.fullTopologyInLastLevel = limit;  // the limit needs the last level whole
    refiner->RefineUniform(uniform);
    if (refiner->GetMaxLevel() != levels) return kSurfaceRefused;

    // Level by level, from one buffer to the other.
    std::vector<Position> points(object.vertices.size()), next;
    for (size_t v = 0; v < points.size(); ++v)
      points[v] = Position{{object.vertices[v].x, object.vertices[v].y, object.vertices[v].z}};
    std::vector<Coordinates> uvs = uvValues, nextUvs;
    const Far::PrimvarRefiner primvars(*refiner);
    for (int level = 1; level <= levels; ++level) {
      const Far::TopologyLevel& child = refiner->GetLevel(level);
      next.resize(static_cast<size_t>(child.GetNumVertices()));
      nextUvs.resize(static_cast<size_t>(child.GetNumFVarValues(0)));
      Position* to = next.data();
      Coordinates* uvsTo = nextUvs.data();
      primvars.Interpolate(level, points.data(), to);
      primvars.InterpolateFaceVarying(level, uvs.data(), uvsTo, 0);
      points.swap(next);
      uvs.swap(nextUvs);
    }
    if (limit) {
      next.resize(points.size());
      Position* to = next.data();
      primvars.Limit(points.data(), to);
      points.swap(next);
    }
    Store(*refiner, points, uvs);
    return kSubdivided;
  }

  // The faces the refiner did not take, then the last level's quads; built aside and swapped in.
  void Store(const Far::TopologyRefiner& refiner, const std::vector<Position>& points,
             const std::vector<Coordinates>& uvs) {
    const Far::TopologyLevel& last = refiner.GetLevel(levels);
    const auto quads = static_cast<size_t>(last.GetNumFaces());
    std::vector<bool> taken(object.faces.size(), false);
    for (const uint32_t f : refined)
      taken[f] = true;
    const bool creased = !object.cornerCreases.empty();

    std::vector<Vec4> vertices;
    std::vector<Face> faces;
    std::vector<int32_t> indices;
    std::vector<float> cornerUvs, creases;
    size_t keptCorners = 0, keptFaces = 0;
    for (size_t f = 0; f < object.faces.size(); ++f) {
      if (!taken[f])
        keptFaces += 1, keptCorners += static_cast<uint32_t>(object.faces[f].vertexCount);
    }
    const size_t base = keptFaces > 0 ? object.vertices.size() : 0;
    vertices.reserve(base + points.size());
    faces.reserve(keptFaces + quads);
    indices.reserve(keptCorners + 4 * quads);
    cornerUvs.reserve(2 * (keptCorners + 4 * quads));
    if (creased) creases.reserve(keptCorners + 4 * quads);

    vertices.assign(object.vertices.begin(),
                    object.vertices.begin() + static_cast<ptrdiff_t>(base));
    for (const Position& p : points)
      vertices.push_back(Vec4{p.value[0], p.value[1], p.value[2], 1.0f});
    for (size_t f = 0; f < object.faces.size(); ++f) {
      if (taken[f]) continue;
      const Face& face = object.faces[f];
      const auto first = static_cast<uint32_t>(indices.size());
      const size_t k = static_cast<uint32_t>(face.vertexCount);
      const int32_t* c = &object.cornerIndices[face.firstCorner];
      indices.insert(indices.end(), c, c + k);
      const float* uv = &object.cornerUvs[2 * size_t{face.firstCorner}];
      cornerUvs.insert(cornerUvs.end(), uv, uv + 2 * k);
      if (creased) {
        const float* crease = &object.cornerCreases[face.firstCorner];
        creases.insert(creases.end(), crease, crease + k);
      }
      faces.push_back(Face{face.material, face.vertexCount, first});
    }
    // The parent of each last-level face, back through the levels to the faces given.
    for (size_t q = 0; q < quads; ++q) {
      auto parent = static_cast<Far::Index>(q);
      for (int level = levels; level >= 1; --level)
        parent = refiner.GetLevel(level).GetFaceParentFace(parent);
      const Face& from = object.faces[refined[static_cast<size_t>(parent)]];
      const Far::ConstIndexArray fv = last.GetFaceVertices(static_cast<Far::Index>(q));
      const Far::ConstIndexArray fuv = last.GetFaceFVarValues(static_cast<Far::Index>(q), 0);
      const auto first = static_cast<uint32_t>(indices.size());
      for (int j = 0; j < fv.size(); ++j) {
        indices.push_back(static_cast<int32_t>(base) + fv[j]);
        const Coordinates& uv = uvs[static_cast<size_t>(fuv[j])];
        cornerUvs.push_back(uv.value[0]);
        cornerUvs.push_back(uv.value[1]);
        if (creased) creases.push_back(0.0f);
      }
      faces.push_back(Face{from.material, fv.size(), first});
    }
    object.vertices.swap(vertices);
    object.faces.swap(faces);
    object.cornerIndices.swap(indices);
    object.cornerUvs.swap(cornerUvs);
    object.cornerCreases.swap(creases);
    object.patch = 0;
  }
};

}  // namespace

bool RefinesAsSurface(const MeshObject& object) {
  return (object.patch == 3 && (object.patchTri == -1 || object.patchTri == 0)) ||
         object.patch == 4;
}

int32_t SubdivisionLevels(const MeshObject& object) {
  return std::clamp(object.segment, 1, 4);
}

bool LevelsOutOfRange(const MeshObject& object) {
  return object.segment != SubdivisionLevels(object);
}

uint64_t SubdividedRecords(const MeshObject& object) {
  uint64_t records = 0;
  const bool refines = RefinesAsSurface(object);
  const uint64_t growth = uint64_t{1} << (2 * (SubdivisionLevels(object) - 1));
  try {
    std::vector<int32_t> scratch;
    for (const Face& face : object.faces) {
      if (refines && Refinable(object, face, scratch)) {
        records += static_cast<uint32_t>(face.vertexCount) * growth;
      } else {
        records += QzRecordsOf(face);
      }
    }
  } catch (const std::exception&) {
    return UINT64_MAX;
  }
  return records;
}

SubdivisionResult Subdivide(MeshObject& object) {
  if (!RefinesAsSurface(object)) return kSubdivided;
  Far::SetErrorCallback(Quiet);
  Far::SetWarningCallback(QuietWarning);
  try {
    return Refinement{object}.Run();
  } catch (const std::exception&) {
    return kSurfaceNoMemory;  // the object changes only at the end: it is as it was
  }
}
