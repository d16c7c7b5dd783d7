// Face normals accumulated into vertex or face normals, or grouped at each vertex by the
// object's smoothing angle.
#include "writer/normals.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "writer/vec4.h"

namespace {

constexpr Vec4 kNone{0, 0, 0, 1};

// A face normal that can be compared with others: finite and not zero. Normalised, anything else
// is zero or holds a NaN.
bool Usable(const Vec4& n) {
  return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z) &&
         (n.x != 0 || n.y != 0 || n.z != 0);
}

double Dot(const Vec4& a, const Vec4& b) {
  return Wide(a.x) * Wide(b.x) + Wide(a.y) * Wide(b.y) + Wide(a.z) * Wide(b.z);
}

// 1 / n! for n = 0, 1, ..., 17; each exact factorial fits a double's 53 bits and its reciprocal
// is rounded once, when compiled.
constexpr std::array<double, 18> kInverseFactorials = [] {
  std::array<double, 18> inverse{};
  double factorial = 1;
  for (int n = 0; n < 18; ++n) {
    if (n > 0) factorial *= n;
    inverse[static_cast<size_t>(n)] = 1.0 / factorial;
  }
  return inverse;
}();

// The Taylor polynomials of sine (to the 17th power) and cosine (to the 16th) in Horner's form,
// for |r| <= pi / 4, where what they leave out is below 3e-18.
double SineSeries(double r) {
  const double r2 = r * r;
  double sum = 0;
  for (int n = 8; n >= 0; --n)
    sum = sum * r2 + (n % 2 == 0 ? 1 : -1) * kInverseFactorials[static_cast<size_t>(2 * n + 1)];
  return r * sum;
}
double CosineSeries(double r) {
  const double r2 = r * r;
  double sum = 0;
  for (int n = 8; n >= 0; --n)
    sum = sum * r2 + (n % 2 == 0 ? 1 : -1) * kInverseFactorials[static_cast<size_t>(2 * n)];
  return sum;
}

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;

// A corner is compared with this many of its vertex's groups at most (see normals.h).
constexpr size_t kGroupsSearched = 64;

// The unit normal of a face as both modes add it (normalised once; flat mode normalises its
// entries again at the end), or false when the face gives none.
bool FaceNormal(const MeshObject& object, const Face& face, Vec4& n) {
  if (face.vertexCount < 3) return false;
  const CornerPoint c0 = CornerAt(object, face, 0), c1 = CornerAt(object, face, 1),
                    c2 = CornerAt(object, face, 2);
  if ((c0.vertex | c1.vertex | c2.vertex) < 0) return false;  // one of them outside
  Vec4 a, b;
  Vec4Sub(a, c1.position, c0.position);
  Vec4Sub(b, c2.position, c0.position);
  Vec4Cross(n, b, a);
  Vec4Normalize(n);
  return true;
}

}  // namespace

void ComputeNormals(const MeshObject& object, bool smooth, std::vector<Vec4>& normals) {
  normals.assign(smooth ? object.vertices.size() : object.faces.size(), Vec4{0, 0, 0, 0});
  for (size_t i = 0; i < object.faces.size(); ++i) {
    const Face& face = object.faces[i];
    Vec4 n;
    if (!FaceNormal(object, face, n)) continue;
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

float SmoothingAngle(float facet) {
  return facet >= 0 && facet <= 180 ? facet : 59.5f;
}

// The cosine decides which faces share a normal, so it must be the same double wherever the
// program runs: the C library's cos() differs in its last bits from one library to another. This
// one takes only +, -, * and / of doubles, which IEEE 754 rounds alike everywhere, in a fixed
// order (the writer is built without floating-point contraction, so no fused multiply-add changes
// a rounding). The angle is first folded, exactly, into 0 to 45 degrees: cos d = -cos(180 - d),
// cos d = sin(90 - d); so 0, 90 and 180 degrees give exactly 1, 0 and -1.
double CosineOfDegrees(double degrees) {
  double sign = 1;
  if (degrees > 90) {
    degrees = 180 - degrees;
    sign = -1;
  }
  if (degrees > 45) return sign * SineSeries((90 - degrees) * kRadiansPerDegree);
  return sign * CosineSeries(degrees * kRadiansPerDegree);
}

void ComputeShadedNormals(const MeshObject& object, ShadedNormals& shaded) {
  std::vector<Vec4>& normals = shaded.normals;
  std::vector<uint32_t>& ofCorner = shaded.ofCorner;
  std::vector<Vec4>& faceNormals = shaded.faceNormals;
  faceNormals.resize(object.faces.size());
  for (size_t f = 0; f < object.faces.size(); ++f) {  // w = 0 marks a normal of no use
    Vec4& n = faceNormals[f];
    if (!FaceNormal(object, object.faces[f], n)) n = Vec4{0, 0, 0, 0};
    n.w = Usable(n) ? 1.0f : 0.0f;
  }
  ofCorner.resize(object.cornerIndices.size());
  normals.assign(1, kNone);
  if (object.shading == 0) {  // the flat mode's normals, normalised a second time as there
    for (size_t f = 0; f < object.faces.size(); ++f) {
      normals.push_back(faceNormals[f]);
      Vec4Normalize(normals.back());
      const Face& face = object.faces[f];
      for (int32_t k = 0; k < face.vertexCount; ++k)
        ofCorner[face.firstCorner + static_cast<uint32_t>(k)] = static_cast<uint32_t>(f + 1);
    }
    return;
  }

  // The corners at each vertex, in the order of the faces: counted, then placed.
  std::vector<uint32_t>& ends = shaded.vertexEnds;
  std::vector<VertexCorner>& corners = shaded.vertexCorners;
  ends.assign(object.vertices.size(), 0);
  for (const Face& face : object.faces) {
    for (uint32_t k = 0; k < static_cast<uint32_t>(face.vertexCount); ++k) {
      const int32_t vertex = CornerAt(object, face, k).vertex;
      if (vertex >= 0) ++ends[static_cast<size_t>(vertex)];
    }
  }
  uint32_t total = 0;
  for (uint32_t& end : ends) {  // each vertex's start for now
    const uint32_t count = end;
    end = total;
    total += count;
  }
  corners.resize(total);
  for (size_t f = 0; f < object.faces.size(); ++f) {
    const Face& face = object.faces[f];
    for (uint32_t k = 0; k < static_cast<uint32_t>(face.vertexCount); ++k) {
      const int32_t vertex = CornerAt(object, face, k).vertex;
      const uint32_t c = face.firstCorner + k;
      if (vertex >= 0) {
        corners[ends[static_cast<size_t>(vertex)]++] = VertexCorner{static_cast<uint32_t>(f), c};
      } else {
        ofCorner[c] = 0;
      }
    }
  }

  const float angle = SmoothingAngle(object.facet);
  const bool everyCorner = angle == 180;
  // Within the angle: the cosine between a group's running sum s and the normal n is at least c,
  // that is s·n >= c |s|, compared squared with the signs kept, so that no square root or
  // division is taken for each corner (a sum of length 0 has no direction: 0 >= c).
  const double c = CosineOfDegrees(angle), cc = c * c;
  auto within = [c, cc](const Vec4& sum, const Vec4& n) {
    const double d = Dot(sum, n), ss = Dot(sum, sum);
    if (ss == 0) return 0 >= c;
    return c >= 0 ? d >= 0 && d * d >= cc * ss : d >= 0 || d * d <= cc * ss;
  };
  // Each vertex's groups are the entries of normals from `first` on, their running sums until
  // all are normalised at the end.
  uint32_t begin = 0;
  for (const uint32_t end : ends) {
    const size_t first = normals.size();
    bool unusable = false;
    for (uint32_t i = begin; i < end; ++i) {
      const Vec4& n = faceNormals[corners[i].face];
      size_t g = first;
      if (!everyCorner) {
        if (n.w == 0) {
          unusable = true;
          continue;
        }
        const size_t searched = first + std::min(normals.size() - first, kGroupsSearched);
        while (g < searched && !within(normals[g], n))
          ++g;
        if (g == searched) g = normals.size();
      }
      if (g == normals.size()) normals.push_back(Vec4{0, 0, 0, 0});
      Vec4Add(normals[g], n);
      ofCorner[corners[i].corner] = static_cast<uint32_t>(g);
    }
    if (unusable) {  // as smooth mode gives them: every face at the vertex
      Vec4 sum{0, 0, 0, 0};
      for (uint32_t i = begin; i < end; ++i)
        Vec4Add(sum, faceNormals[corners[i].face]);
      const auto index = static_cast<uint32_t>(normals.size());
      normals.push_back(sum);
      for (uint32_t i = begin; i < end; ++i) {
        if (faceNormals[corners[i].face].w == 0) ofCorner[corners[i].corner] = index;
      }
    }
    begin = end;
  }
  for (size_t i = 1; i < normals.size(); ++i)
    Vec4Normalize(normals[i]);
}
