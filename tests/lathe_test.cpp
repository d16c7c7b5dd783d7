// Lathe objects turned into bodies: the step rotations against the platform's own (and exact at
// quarter turns), the counts, radii and facing of the faces for each axis and lathe kind, the
// profile's edges dropped and its other faces kept, the texture coordinates, and the bytes a small
// body writes (checked on the Windows build as on Linux).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "tests/loaded_object.h"
#include "tests/support/test_support.h"
#include "writer/bake.h"
#include "writer/lathe.h"
#include "writer/normals.h"

namespace {

TEST(Lathe, StepTurnsAgreeWithTheMathsLibraryAndAreExactAtQuarterTurns) {
  for (uint32_t n = 3; n <= 256; ++n) {
    for (uint32_t s = 0; s < n; ++s) {
      const StepTurn t = TurnOfStep(s, n);
      const long double angle = 2 * std::numbers::pi_v<long double> * s / n;
      EXPECT_NEAR(t.cosine, static_cast<double>(std::cos(angle)), 2.3e-16) << s << "/" << n;
      EXPECT_NEAR(t.sine, static_cast<double>(std::sin(angle)), 2.3e-16) << s << "/" << n;
      if ((4 * s) % n == 0) {  // a whole number of quarter turns: exactly 0 and 1
        EXPECT_EQ(std::fabs(t.cosine) + std::fabs(t.sine), 1.0) << s << "/" << n;
      }
    }
  }
}

// The distance of a position from the axis and its coordinate along it.
double Radius(const Vec4& p, int axis) {
  const double c[3] = {p.x, p.y, p.z};
  const double u = c[(axis + 1) % 3], w = c[(axis + 2) % 3];
  return std::sqrt(u * u + w * w);
}
float Along(const Vec4& p, int axis) {
  return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

// A profile in the plane through the axis: a slanted edge, a ring at right angles to the axis,
// an edge ending on the axis, an edge lying on it (nothing), and a triangle that is no edge.
std::string Profile(int axis, int kind, int segments) {
  // Positions given as (along, out, 0) in the axis' own frame.
  auto at = [axis](float h, float r) {
    float c[3] = {0, 0, 0};
    c[axis] = h, c[(axis + 1) % 3] = r;
    return std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]) + "\n";
  };
  return "lathe " + std::to_string(kind) + "\nlathe_axis " + std::to_string(axis) + "\nlathe_seg " +
         std::to_string(segments) + "\nvertex 6 {\n" + at(0, 2) + at(1, 3) + at(1, 1) + at(2, 0) +
         at(3, 0) + at(5, 5) +
         "}\nface 5 {\n2 V(0 1) M(1)\n2 V(2 1) M(2)\n2 V(2 3) M(3)\n2 V(3 4)\n3 V(0 1 5) M(4)\n}\n";
}

TEST(Lathe, CountsRadiiAndFacingForEveryAxisAndKind) {
  struct Case {
    int segments;
    uint32_t steps;
  };
  for (const Case c : {Case{8, 8}, Case{0, 3}, Case{2, 3}, Case{300, 256}}) {
    for (int axis = 0; axis < 3; ++axis) {
      for (int kind = 1; kind <= 3; ++kind) {
        const std::string name = "axis " + std::to_string(axis) + " lathe " + std::to_string(kind) +
                                 " seg " + std::to_string(c.segments);
        Model model = LoadedObject(Profile(axis, kind, c.segments));
        MeshObject& o = model.objects[0];
        const MeshObject profile = o;
        const uint32_t sides = kind == 3 ? 2 : 1;
        EXPECT_EQ(LatheRecords(o), 1 + 3 * c.steps * sides) << name;
        ASSERT_TRUE(BakeLathe(o)) << name;
        // The triangle first, then three edges' faces: the edge on the axis gives none.
        ASSERT_EQ(o.faces.size(), 1 + 3 * c.steps * sides) << name;
        EXPECT_EQ(o.faces[0].vertexCount, 3);
        EXPECT_EQ(o.faces[0].material, 4);
        // Every profile vertex off the axis has steps - 1 copies; the one on the axis none; both
        // ways, the inner side has a list of its own.
        EXPECT_EQ(o.vertices.size(), (6 + 3 * (c.steps - 1)) * sides) << name;
        std::vector<Vec4> normals, smooth;
        ComputeNormals(o, false, normals);
        ComputeNormals(o, true, smooth);
        // Both ways, each side's smooth normals are its own: a vertex of the outer side and its
        // twin of the inner side have opposite normals, where shared ones would cancel (but for
        // the two the profile's triangle also uses, which only the first list serves).
        const size_t half = o.vertices.size() / 2;
        for (size_t f = 1; kind == 3 && f < o.faces.size(); f += 2) {
          const Face& face = o.faces[f];
          for (int k = 0; k < face.vertexCount; ++k) {
            const size_t i = o.cornerIndices[face.firstCorner + k];
            ASSERT_LT(i, half) << name;
            if (i == 0 || i == 1) continue;  // the profile's triangle adds to these two
            const Vec4 &out = smooth[i], &in = smooth[i + half];
            EXPECT_NEAR(out.x * out.x + out.y * out.y + out.z * out.z, 1, 1e-5) << name;
            EXPECT_NEAR(out.x + in.x, 0, 1e-5) << name << " face " << f;
            EXPECT_NEAR(out.y + in.y, 0, 1e-5) << name << " face " << f;
            EXPECT_NEAR(out.z + in.z, 0, 1e-5) << name << " face " << f;
          }
        }
        for (size_t f = 1; f < o.faces.size(); ++f) {
          const Face& face = o.faces[f];
          const size_t edge = (f - 1) / (c.steps * sides);
          const bool inward = kind == 2 || (kind == 3 && (f - 1) % 2 == 1);
          EXPECT_EQ(face.material, static_cast<int>(edge) + 1) << name;
          EXPECT_EQ(face.vertexCount, edge == 2 ? 3 : 4) << name << " face " << f;
          Vec4 centre{0, 0, 0, 0};
          for (int k = 0; k < face.vertexCount; ++k) {
            const Vec4& p = o.vertices[o.cornerIndices[face.firstCorner + k]];
            centre.x += p.x / face.vertexCount, centre.y += p.y / face.vertexCount;
            centre.z += p.z / face.vertexCount;
          }
          const double n[3] = {normals[f].x, normals[f].y, normals[f].z};
          const double c3[3] = {centre.x, centre.y, centre.z};
          double radial = 0;
          for (int i = 0; i < 3; ++i)
            if (i != axis) radial += n[i] * c3[i];
          if (edge == 1) {  // the ring faces the axis' positive direction when outward
            EXPECT_NEAR(n[axis], inward ? -1 : 1, 1e-5) << name << " face " << f;
          } else {
            EXPECT_EQ(radial > 0, !inward) << name << " face " << f;
          }
        }
        // Copies keep their radius and height; step s of vertex v lies s/steps of a turn on.
        for (size_t v = 0; v < 3; ++v) {
          const Vec4& p = profile.vertices[v];
          for (uint32_t s = 1; s < c.steps; ++s) {
            const Vec4& q = o.vertices[6 + v * (c.steps - 1) + (s - 1)];
            EXPECT_NEAR(Radius(q, axis), Radius(p, axis), 1e-5) << name;
            EXPECT_EQ(Along(q, axis), Along(p, axis)) << name;
            const double c3[3] = {q.x, q.y, q.z};
            const double angle = std::atan2(c3[(axis + 2) % 3], c3[(axis + 1) % 3]);
            const double wanted = 2 * std::numbers::pi * s / c.steps;
            EXPECT_NEAR(std::remainder(angle - wanted, 2 * std::numbers::pi), 0, 1e-6) << name;
          }
        }
        EXPECT_EQ(o.lathe, kind);  // BakeModel marks it done, not BakeLathe
      }
    }
  }
}

TEST(Lathe, TextureCoordinatesRunAroundAndAlongEachEdge) {
  Model model = LoadedObject(Profile(1, 1, 4));
  MeshObject& o = model.objects[0];
  ASSERT_TRUE(BakeLathe(o));
  // The slanted edge's four quads: (a, b, b', a') with u = s/4 and (s+1)/4, v 0 at a, 1 at b.
  for (uint32_t s = 0; s < 4; ++s) {
    const Face& face = o.faces[1 + s];
    const float* uv = &o.cornerUvs[2 * face.firstCorner];
    const float u0 = s / 4.0f, u1 = (s + 1) / 4.0f;
    const std::vector<float> got(uv, uv + 8);
    EXPECT_EQ(got, (std::vector<float>{u0, 0, u0, 1, u1, 1, u1, 0})) << s;
    EXPECT_EQ(o.cornerIndices[face.firstCorner], s == 0 ? 0 : static_cast<int>(5 + s)) << s;
  }
}

TEST(Lathe, WhatIsNotTurned) {
  // Not a lathe kind, or no axis: left as it is.
  for (const std::string settings : {"lathe 0\n", "lathe 4\n", "lathe 1\nlathe_axis 3\n"}) {
    Model model = LoadedObject(settings + "vertex 2 {\n1 0 0\n1 1 0\n}\nface 1 {\n2 V(0 1)\n}\n");
    const std::string before = Describe(model);
    EXPECT_TRUE(BakeLathe(model.objects[0]));
    EXPECT_EQ(Describe(model), before) << settings;
  }
  // Two-corner faces with a corner outside the vertex list stay as they are; creases follow the
  // faces that keep them, and the new faces have none.
  Model model = LoadedObject(
      "lathe 1\nvertex 2 {\n1 0 0\n1 1 0\n}\nface 3 {\n2 V(0 7)\n3 V(0 1 1) CRS(1 2 3)\n"
      "2 V(0 1)\n}\n");
  MeshObject& o = model.objects[0];
  ASSERT_TRUE(BakeLathe(o));
  ASSERT_EQ(o.faces.size(), 2u + 3);
  EXPECT_EQ(o.faces[0].vertexCount, 2);
  EXPECT_EQ(o.cornerIndices[1], 7);
  ASSERT_EQ(o.cornerCreases.size(), o.cornerIndices.size());
  EXPECT_EQ(std::vector<float>(o.cornerCreases.begin(), o.cornerCreases.begin() + 5),
            (std::vector<float>{0, 0, 1, 2, 3}));
  EXPECT_EQ(o.cornerCreases.back(), 0);
}

// FNV-1a of the bytes of a run of values.
template <typename Value>
uint64_t Hash(uint64_t h, const std::vector<Value>& values) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(values.data());
  for (size_t i = 0; i < values.size() * sizeof(Value); ++i)
    h = (h ^ bytes[i]) * 1099511628211ull;
  return h;
}

// What turning a small body decides, recorded once: its positions, corners and texture
// coordinates, bit for bit. Every build (the Windows one too, and optimised or not) must give
// them; the normals are the normal code's own business.
TEST(Lathe, BodiesAreTheSameBitsOnEveryPlatform) {
  Model model = LoadedObject(Profile(1, 3, 7));
  const BakeReport report = BakeModel(model, BakeOptions{true, false, false}, UINT64_MAX);
  ASSERT_EQ(report.failure, kWriteCauseNone);
  const MeshObject& o = model.objects[0];
  EXPECT_EQ(o.lathe, 0);
  uint64_t h = 14695981039346656037ull;
  h = Hash(Hash(Hash(h, o.vertices), o.cornerIndices), o.cornerUvs);
  EXPECT_EQ(h, 842503191224570901u);
}

}  // namespace

namespace {

// The file's 4 GiB, counted before turning: a body of exactly as many records as fit (each
// object's entry, one more entry per 65,535 records, 168 bytes a record) passes the size check
// and is stopped only by the memory it is given; one record more is past the format.
TEST(Lathe, TheFourGibLimitIsCountedToTheRecord) {
  const uint64_t fit = (uint64_t{UINT32_MAX} - 48 - 60) * 65535 / (168 * 65535 + 60);
  for (const uint64_t records : {fit, fit + 1}) {
    const uint64_t edges = records / 512, singles = records % 512;
    std::string text = "lathe 3\nlathe_seg 256\nvertex 2 {\n1 0 0\n1 1 0\n}\nface " +
                       std::to_string(edges + singles) + " {\n";
    for (uint64_t e = 0; e < edges; ++e)
      text += "2 V(0 1)\n";
    for (uint64_t s = 0; s < singles; ++s)
      text += "1 V(0)\n";
    Model model = LoadedObject(text + "}\n");
    ASSERT_EQ(LatheRecords(model.objects[0]), records);
    const BakeReport report = BakeModel(model, BakeOptions{true, false, false}, 1);
    EXPECT_EQ(report.failure, records == fit ? kWriteCauseTooLargeForMemory : kWriteCauseTooLarge);
    EXPECT_EQ(model.objects[0].faces.size(), edges + singles);  // unchanged
  }
}

}  // namespace
