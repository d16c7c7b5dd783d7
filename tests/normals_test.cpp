// Normals of small objects in every mode: each row is an object and the normals it must get.
// Shaded normals are checked corner by corner, against the smooth and flat modes where they must
// agree with them bit for bit, and through the writer; the cosine of the smoothing angle against
// the C library's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "tests/support/test_support.h"
#include "writer/normals.h"

namespace {

struct Row {
  const char* name;
  std::vector<Vec4> vertices;
  std::vector<std::vector<int32_t>> faces;
  std::vector<Vec4> smooth;  // one per vertex
  std::vector<Vec4> flat;    // one per face
};

const float kThird = static_cast<float>(1 / std::sqrt(3.0));
const float kHalf = static_cast<float>(1 / std::sqrt(2.0));
constexpr Vec4 kNone{0, 0, 0, 1}, kDown{0, 0, -1, 1};

std::vector<Vec4> Cube(float scale) {
  std::vector<Vec4> corners;
  for (int i = 0; i < 8; ++i) {
    const float x = (i == 1 || i == 2 || i == 5 || i == 6) ? scale : -scale;
    corners.push_back({x, i % 4 >= 2 ? scale : -scale, i >= 4 ? scale : -scale, 1});
  }
  return corners;
}

MeshObject Object(const std::vector<Vec4>& vertices,
                  const std::vector<std::vector<int32_t>>& faces) {
  MeshObject object;
  object.vertices = vertices;
  for (const auto& corners : faces) {
    object.faces.push_back(Face{0, static_cast<int32_t>(corners.size()),
                                static_cast<uint32_t>(object.cornerIndices.size())});
    object.cornerIndices.insert(object.cornerIndices.end(), corners.begin(), corners.end());
    object.cornerUvs.resize(2 * object.cornerIndices.size());
  }
  return object;
}

TEST(Normals, Objects) {
  const Row rows[] = {
      {"a collinear face adds nothing; unused vertices and small faces get none",
       {{0, 0, 0, 1}, {1, 1, 1, 1}, {2, 2, 2, 1}, {1, 0, 0, 1}, {5, 5, 5, 1}},
       {{0, 1, 2}, {0, 3, 1}, {4}, {4, 0}},
       {{0, kHalf, -kHalf, 1}, {0, kHalf, -kHalf, 1}, kNone, {0, kHalf, -kHalf, 1}, kNone},
       {kNone, {0, kHalf, -kHalf, 1}, kNone, kNone}},
      {"a cube's smooth normals point along its diagonals",
       Cube(1),
       {{0, 1, 2, 3}, {5, 4, 7, 6}, {4, 0, 3, 7}, {1, 5, 6, 2}, {3, 2, 6, 7}, {4, 5, 1, 0}},
       Cube(kThird),
       {kDown, {0, 0, 1, 1}, {-1, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, -1, 0, 1}}},
      {"corners of a large face count, a repeated one twice; faces of any area alike",
       {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}, {-1, 0.5f, 0, 1}, {0, 0, 3, 1}},
       {{0, 1, 2, 3, 4, 4}, {0, 5, 1}},
       {{0, -kHalf, -kHalf, 1}, {0, -kHalf, -kHalf, 1}, kDown, kDown, kDown, {0, -1, 0, 1}},
       {kDown, {0, -1, 0, 1}}},
      {"corners outside the object are never read",
       {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}},
       {{0, 1, 7}, {0, 1, 2, -1}, {-5, 0, 1}},
       {kDown, kDown, kDown},
       {kNone, kDown, kNone}},
      // Read past their own corners, each would take a triangle turned against the last face's.
      {"faces of one and two corners give none, whatever follows them",
       {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}},
       {{0}, {2, 1}, {0, 1, 2}},
       {kDown, kDown, kDown},
       {kNone, kNone, kDown}},
      // In float arithmetic the cross product would be exactly zero.
      {"computed in double precision, rounded once",
       {{0, 0, 0, 1}, {0, 1, 1e-8f, 1}, {0, 1e8f, 1, 1}},
       {{0, 1, 2}},
       {{-1, 0, 0, 1}, {-1, 0, 0, 1}, {-1, 0, 0, 1}},
       {{-1, 0, 0, 1}}},
  };
  for (const Row& row : rows) {
    const MeshObject object = Object(row.vertices, row.faces);
    for (const bool smooth : {true, false}) {
      std::vector<Vec4> normals{{9, 9, 9, 9}};  // reused storage is overwritten
      ComputeNormals(object, smooth, normals);
      const std::vector<Vec4>& expected = smooth ? row.smooth : row.flat;
      ASSERT_EQ(normals.size(), expected.size()) << row.name;
      for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(std::memcmp(&normals[i], &expected[i], sizeof(Vec4)) == 0)
            << row.name << (smooth ? ", smooth " : ", flat ") << i << ": " << normals[i].x << " "
            << normals[i].y << " " << normals[i].z << " " << normals[i].w;
      }
    }
  }
}

bool Same(const Vec4& a, const Vec4& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Each corner's shaded normal, in the order of the object's corners.
std::vector<Vec4> Shaded(const MeshObject& object) {
  ShadedNormals shaded;
  shaded.normals.assign(3, Vec4{9, 9, 9, 9});  // reused storage is overwritten
  shaded.ofCorner.assign(99, 7);
  ComputeShadedNormals(object, shaded);
  EXPECT_EQ(shaded.ofCorner.size(), object.cornerIndices.size());
  std::vector<Vec4> corners;
  for (const uint32_t entry : shaded.ofCorner) {
    EXPECT_LT(entry, shaded.normals.size());
    corners.push_back(entry < shaded.normals.size() ? shaded.normals[entry] : Vec4{});
  }
  return corners;
}

// A unit normal at `degrees` from +z towards +x.
Vec4 Tilted(double degrees) {
  const double r = degrees * 3.14159265358979323846 / 180;
  return Vec4{static_cast<float>(std::sin(r)), 0, static_cast<float>(std::cos(r)), 1};
}

// Faces around vertex 0 at the origin, the first of normal +z, each of the others tilted by the
// next angle; each face has two vertices of its own: (0, 1, 0) and a point in its plane.
MeshObject Fan(const std::vector<double>& tilts) {
  std::vector<Vec4> vertices{{0, 0, 0, 1}};
  std::vector<std::vector<int32_t>> faces;
  for (const double tilt : tilts) {
    const Vec4 n = Tilted(tilt);
    const auto first = static_cast<int32_t>(vertices.size());
    vertices.push_back({0, 1, 0, 1});
    vertices.push_back({n.z, 0, -n.x, 1});  // (0, 1, 0) and this span the plane of normal n
    faces.push_back({0, first, first + 1});
  }
  return Object(vertices, faces);
}

const float kThirdOf = static_cast<float>(1 / std::sqrt(3.0));

TEST(Normals, ShadedObjects) {
  const MeshObject cube =
      Object(Cube(1),
             {{0, 1, 2, 3}, {5, 4, 7, 6}, {4, 0, 3, 7}, {1, 5, 6, 2}, {3, 2, 6, 7}, {4, 5, 1, 0}});
  std::vector<Vec4> faces, cubeFlat, cubeSmooth;
  ComputeNormals(cube, false, faces);
  for (const Vec4& face : faces)
    cubeFlat.insert(cubeFlat.end(), 4, face);
  for (const int32_t v : cube.cornerIndices)
    cubeSmooth.push_back(Cube(kThirdOf)[static_cast<size_t>(v)]);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    const char* name;
    MeshObject object;
    int32_t shading;
    float facet;
    std::vector<Vec4> corners;  // compared within 1e-6
  } rows[] = {
      {"a cube at the default angle is flat", cube, 1, 59.5f, cubeFlat},
      {"a cube at 91 degrees is smooth", cube, 1, 91, cubeSmooth},
      {"a cube at 90 degrees: the cosine is exactly 0, so faces at right angles join", cube, 1, 90,
       cubeSmooth},
      {"a cube of shading 0 is flat whatever its angle", cube, 0, 180, cubeFlat},
      {"an angle that is not a number is 59.5", cube, 1, nan, cubeFlat},
      {"a negative angle is 59.5", cube, 1, -1, cubeFlat},
      {"an angle above 180 is 59.5", cube, 1, 180.5f, cubeFlat},
      {"an infinite angle is 59.5", cube, 1, std::numeric_limits<float>::infinity(), cubeFlat},
      {"any shading but 0 is smooth", cube, 2, 91, cubeSmooth},
      // 0, 50 and 100 degrees at 60: the first two join, and their sum lies 75 from the third.
      {"faces in the order 0, 50, 100",
       Fan({0, 50, 100}),
       1,
       60,
       {Tilted(25), Tilted(0), Tilted(0), Tilted(25), Tilted(50), Tilted(50), Tilted(100),
        Tilted(100), Tilted(100)}},
      {"the same faces in the order 50, 100, 0 group otherwise",
       Fan({50, 100, 0}),
       1,
       60,
       {Tilted(75), Tilted(50), Tilted(50), Tilted(75), Tilted(100), Tilted(100), Tilted(0),
        Tilted(0), Tilted(0)}},
      // -40 lies within 60 of the first face, but 67.5 from the sum of the first two.
      {"the running sum is compared, not the first face",
       Fan({0, 55, -40}),
       1,
       60,
       {Tilted(27.5), Tilted(0), Tilted(0), Tilted(27.5), Tilted(55), Tilted(55), Tilted(-40),
        Tilted(-40), Tilted(-40)}},
      // 59 degrees apart: joined at 59.5, apart at 58.
      {"59 degrees apart at 59.5",
       Fan({0, 59}),
       1,
       59.5f,
       {Tilted(29.5), Tilted(0), Tilted(0), Tilted(29.5), Tilted(59), Tilted(59)}},
      {"59 degrees apart at 58",
       Fan({0, 59}),
       1,
       58,
       {Tilted(0), Tilted(0), Tilted(0), Tilted(59), Tilted(59), Tilted(59)}},
      {"59 degrees apart at an angle above 180",
       Fan({0, 59}),
       1,
       200,
       {Tilted(29.5), Tilted(0), Tilted(0), Tilted(29.5), Tilted(59), Tilted(59)}},
      {"60 degrees apart at 59.5",
       Fan({0, 60}),
       1,
       59.5f,
       {Tilted(0), Tilted(0), Tilted(0), Tilted(60), Tilted(60), Tilted(60)}},
      // Two faces of normal +z, a collinear one and one of one corner share vertex 0; vertex 4
      // is the collinear face's own; corner 9 lies outside the object.
      {"faces without a normal take the smooth mode's, and join no group",
       Object({{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {-1, 0, 0, 1}, {2, 0, 0, 1}},
              {{0, 1, 2}, {0, 1, 4}, {0}, {0, 2, 3, 9}}),
       1,
       10,
       {kDown, kDown, kDown, kDown, kDown, kNone, kDown, kDown, kDown, kDown, kNone}},
  };
  for (const auto& row : rows) {
    MeshObject object = row.object;
    object.shading = row.shading;
    object.facet = row.facet;
    const std::vector<Vec4> corners = Shaded(object);
    ASSERT_EQ(corners.size(), row.corners.size()) << row.name;
    for (size_t c = 0; c < corners.size(); ++c) {
      const Vec4 a = corners[c], b = row.corners[c];
      EXPECT_TRUE(std::abs(a.x - b.x) < 1e-6 && std::abs(a.y - b.y) < 1e-6 &&
                  std::abs(a.z - b.z) < 1e-6 && a.w == 1)
          << row.name << ", corner " << c << ": " << a.x << " " << a.y << " " << a.z << " " << a.w;
    }
  }
}

// A face with a corner at infinity has no finite normal: its corners take the smooth mode's
// (not a number at every vertex it touches) while the other faces there group without it.
TEST(Normals, ShadedFaceAtInfinity) {
  MeshObject object = Object(
      {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {std::numeric_limits<float>::infinity(), 1, 0, 1}},
      {{0, 1, 2}, {0, 1, 3}});
  object.facet = 30;
  const std::vector<Vec4> corners = Shaded(object);
  for (const size_t c : {0, 1, 2})
    EXPECT_TRUE(Same(corners[c], kDown)) << c;
  for (const size_t c : {3, 4, 5})
    EXPECT_TRUE(std::isnan(corners[c].x)) << c;
  object.facet = 180;  // then it joins like every other face: the smooth mode's everywhere
  std::vector<Vec4> smooth;
  ComputeNormals(object, true, smooth);
  const std::vector<Vec4> all = Shaded(object);
  for (size_t c = 0; c < all.size(); ++c)
    EXPECT_TRUE(Same(all[c], smooth[static_cast<size_t>(object.cornerIndices[c])])) << c;
}

// At 180 degrees the shaded normals are the smooth ones bit for bit, and with shading 0 the flat
// ones, whole files compared: on jittered grids whose vertices are shared by faces of any order,
// with degenerate faces, faces of every size and corners out of range among them.
TEST(Normals, ShadedAt180IsSmoothAndShading0IsFlat) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> jitter(-0.4f, 0.4f);
  std::uniform_int_distribution<int32_t> pick(0, 99);
  Model model;
  for (int o = 0; o < 3; ++o) {
    std::vector<Vec4> vertices;
    for (int i = 0; i < 100; ++i)
      vertices.push_back(
          {float(i % 10) + jitter(random), float(i / 10) + jitter(random), jitter(random) * 3, 1});
    vertices.push_back({1, 2, std::numeric_limits<float>::infinity(), 1});
    std::vector<std::vector<int32_t>> faces;
    for (int f = 0; f < 300; ++f) {
      const int32_t a = pick(random), size = 1 + pick(random) % 6;
      std::vector<int32_t> corners;
      for (int32_t k = 0; k < size; ++k)
        corners.push_back(k == 0 ? a : (a + (k % 2 ? 1 : 10) * ((k + 1) / 2)) % 100);
      if (f % 50 == 7) corners.push_back(f % 100 == 7 ? 100 : 300);  // at infinity, outside
      if (f % 40 == 3) corners = {a, a, (a + 1) % 100};              // no area
      faces.push_back(corners);
    }
    model.objects.push_back(Object(vertices, faces));
  }
  for (MeshObject& object : model.objects)
    object.facet = 180;
  EXPECT_TRUE(QzBytes(model, WriteOptions{kShadedNormals}) == QzBytes(model, true));
  for (MeshObject& object : model.objects)
    object.shading = 0;
  EXPECT_TRUE(QzBytes(model, WriteOptions{kShadedNormals}) == QzBytes(model, false));
  for (MeshObject& object : model.objects)
    object.shading = 1, object.facet = 179.9f;  // then the face at infinity spoils less
  EXPECT_FALSE(QzBytes(model, WriteOptions{kShadedNormals}) == QzBytes(model, true));
}

// Every component is rounded to float as it is stored, whatever the optimiser makes of the
// operations around it: random faces against a reference that rounds through memory it must
// honour (an optimised build once kept two components of a cross product in double precision).
float Rounded(double value) {
  volatile float stored = static_cast<float>(value);
  return stored;
}
// A face's normal normalised twice, as flat mode gives it and smooth mode a vertex of one face.
Vec4 ReferenceNormal(const Vec4& p0, const Vec4& p1, const Vec4& p2) {
  const double a[3] = {Rounded(double(p1.x) - p0.x), Rounded(double(p1.y) - p0.y),
                       Rounded(double(p1.z) - p0.z)};
  const double b[3] = {Rounded(double(p2.x) - p0.x), Rounded(double(p2.y) - p0.y),
                       Rounded(double(p2.z) - p0.z)};
  double n[3] = {Rounded(b[1] * a[2] - b[2] * a[1]), Rounded(b[2] * a[0] - b[0] * a[2]),
                 Rounded(b[0] * a[1] - b[1] * a[0])};
  for (int t = 0; t < 2; ++t) {
    const double length = std::sqrt((n[1] * n[1] + n[2] * n[2]) + n[0] * n[0]);
    const double scale = length != 0 ? 1 / length : 0;
    for (double& c : n)
      c = Rounded(c * scale);
  }
  return Vec4{float(n[0]), float(n[1]), float(n[2]), 1};
}

TEST(Normals, EveryComponentRoundedToFloat) {
  std::mt19937 random(3);
  std::uniform_real_distribution<float> coordinate(-10, 10);
  std::vector<Vec4> vertices;
  std::vector<std::vector<int32_t>> faces;
  for (int32_t f = 0; f < 3000; ++f) {
    for (int k = 0; k < 3; ++k)
      vertices.push_back({coordinate(random), coordinate(random), coordinate(random), 1});
    faces.push_back({3 * f, 3 * f + 1, 3 * f + 2});
  }
  const MeshObject object = Object(vertices, faces);
  std::vector<Vec4> flat, smooth;
  ComputeNormals(object, false, flat);
  ComputeNormals(object, true, smooth);
  int wrong = 0;
  for (size_t f = 0; f < faces.size(); ++f) {
    const Vec4 n = ReferenceNormal(vertices[3 * f], vertices[3 * f + 1], vertices[3 * f + 2]);
    wrong += !Same(flat[f], n) + !Same(smooth[3 * f], n);
    const std::vector<Vec4> corners =
        Shaded(Object({vertices[3 * f], vertices[3 * f + 1], vertices[3 * f + 2]}, {{0, 1, 2}}));
    wrong += !Same(corners[0], n);
  }
  EXPECT_EQ(wrong, 0);
}

TEST(Normals, SmoothingAngleCosine) {
  EXPECT_EQ(CosineOfDegrees(0), 1.0);
  EXPECT_EQ(CosineOfDegrees(90), 0.0);
  EXPECT_EQ(CosineOfDegrees(180), -1.0);
  for (double degrees = 0; degrees <= 180; degrees += 0.125) {
    const double mine = CosineOfDegrees(degrees);
    const double library = std::cos(degrees * 3.14159265358979323846 / 180);
    EXPECT_NEAR(mine, library, 1e-15) << degrees;
  }
  EXPECT_EQ(SmoothingAngle(0), 0.0f);
  EXPECT_EQ(SmoothingAngle(180), 180.0f);
  EXPECT_EQ(SmoothingAngle(std::nextafter(180.0f, 200.0f)), 59.5f);
  EXPECT_EQ(SmoothingAngle(-0.0f), 0.0f);
  EXPECT_EQ(SmoothingAngle(std::nextafter(0.0f, -1.0f)), 59.5f);
}

}  // namespace
