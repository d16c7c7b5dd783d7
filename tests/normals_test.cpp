// Vector operations and normal generation.
#include <gtest/gtest.h>

#include <cmath>

#include "writer/normals.h"
#include "writer/vec4.h"

namespace {

MeshObject MakeObject(std::vector<Vec4> vertices, std::vector<std::vector<int32_t>> faces) {
  MeshObject object;
  object.vertices = std::move(vertices);
  for (const auto& corners : faces) {
    object.faces.push_back(Face{0, static_cast<int32_t>(corners.size()),
                                static_cast<uint32_t>(object.cornerIndices.size())});
    object.cornerIndices.insert(object.cornerIndices.end(), corners.begin(), corners.end());
    object.cornerUvs.resize(object.cornerIndices.size() * 2);
  }
  return object;
}

void ExpectVec(const Vec4& v, float x, float y, float z, float w, const char* what) {
  EXPECT_EQ(v.x, x) << what;
  EXPECT_EQ(v.y, y) << what;
  EXPECT_EQ(v.z, z) << what;
  EXPECT_EQ(v.w, w) << what;
}

TEST(Vec4, Operations) {
  Vec4 d{1, 2, 3, 4};
  Vec4Add(d, Vec4{0.5f, -2, 1, 1});
  ExpectVec(d, 1.5f, 0, 4, 5, "add");
  Vec4Sub(d, Vec4{1, 1, 1, 1}, Vec4{0.25f, 2, -1, 1});
  ExpectVec(d, 0.75f, -1, 2, 0, "sub");
  Vec4Cross(d, Vec4{1, 0, 0, 7}, Vec4{0, 1, 0, 7});
  ExpectVec(d, 0, 0, 1, 0, "cross x by y");
  Vec4 v{0, 0, 0, 5};
  Vec4Normalize(v);
  ExpectVec(v, 0, 0, 0, 1, "normalize zero keeps zero, w = 1");
  Vec4 n{3, 0, 4, 0};
  Vec4Normalize(n);
  ExpectVec(n, 0.6f, 0, 0.8f, 1, "normalize 3 0 4");
  Vec4 negativeZero{-0.0f, 0, 0, 0};
  Vec4Normalize(negativeZero);
  EXPECT_TRUE(std::signbit(negativeZero.x));
}

TEST(Vec4, ComputesInDoublePrecisionWithOneRounding) {
  // 1e8 + 1 - 1e8 in float steps loses the 1; the cross product's terms are exact in double.
  Vec4 d;
  Vec4Cross(d, Vec4{0, 1e8f, 1, 0}, Vec4{0, 1, 1e-8f, 0});
  // x = a.y*b.z - a.z*b.y = 1e8*1e-8 - 1*1, rounded once to float.
  const double exact = static_cast<double>(1e8f) * static_cast<double>(1e-8f) - 1.0;
  EXPECT_EQ(d.x, static_cast<float>(exact));
  EXPECT_NE(d.x, 0.0f);
}

const float kThird = static_cast<float>(1.0 / std::sqrt(3.0));

TEST(Normals, FaceNormalAndDegenerateFaces) {
  std::vector<Vec4> normals;
  ComputeNormals(
      MakeObject({{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}}, {{0, 1, 2, 3}}), false,
      normals);
  ASSERT_EQ(normals.size(), 1u);
  ExpectVec(normals[0], 0, 0, -1, 1, "square");

  // A zero cross product gives (0 0 0 1) and leaves smooth directions unchanged.
  const MeshObject line =
      MakeObject({{0, 0, 0, 1}, {1, 1, 1, 1}, {2, 2, 2, 1}, {1, 0, 0, 1}}, {{0, 1, 2}, {0, 3, 1}});
  ComputeNormals(line, false, normals);
  ExpectVec(normals[0], 0, 0, 0, 1, "collinear, flat");
  ComputeNormals(line, true, normals);
  Vec4 expected{};
  Vec4Sub(expected, line.vertices[3], line.vertices[0]);
  Vec4 b{}, n{};
  Vec4Sub(b, line.vertices[1], line.vertices[0]);
  Vec4Cross(n, b, expected);
  Vec4Normalize(n);
  ExpectVec(normals[0], n.x, n.y, n.z, 1, "collinear face adds nothing");
  ExpectVec(normals[2], 0, 0, 0, 1, "vertex only in the collinear face");

  // Faces of one or two corners give nothing; unused vertices get (0 0 0 1).
  const MeshObject small = MakeObject({{0, 0, 0, 1}, {1, 0, 0, 1}, {5, 5, 5, 1}}, {{0}, {0, 1}});
  ComputeNormals(small, false, normals);
  ExpectVec(normals[0], 0, 0, 0, 1, "one corner, flat");
  ExpectVec(normals[1], 0, 0, 0, 1, "two corners, flat");
  ComputeNormals(small, true, normals);
  ASSERT_EQ(normals.size(), 3u);
  for (const Vec4& v : normals)
    ExpectVec(v, 0, 0, 0, 1, "no face of three corners");
}

TEST(Normals, CubeSmoothNormalsPointAlongTheDiagonals) {
  const MeshObject cube = MakeObject(
      {{-1, -1, -1, 1},
       {1, -1, -1, 1},
       {1, 1, -1, 1},
       {-1, 1, -1, 1},
       {-1, -1, 1, 1},
       {1, -1, 1, 1},
       {1, 1, 1, 1},
       {-1, 1, 1, 1}},
      {{0, 1, 2, 3}, {5, 4, 7, 6}, {4, 0, 3, 7}, {1, 5, 6, 2}, {3, 2, 6, 7}, {4, 5, 1, 0}});
  std::vector<Vec4> normals;
  ComputeNormals(cube, true, normals);
  ASSERT_EQ(normals.size(), 8u);
  for (size_t i = 0; i < 8; ++i) {
    // The winding gives outward normals: each points from the centre through the corner.
    const Vec4& p = cube.vertices[i];
    ExpectVec(normals[i], p.x * kThird, p.y * kThird, p.z * kThird, 1, "cube corner");
  }
  ComputeNormals(cube, false, normals);
  ASSERT_EQ(normals.size(), 6u);
  ExpectVec(normals[0], 0, 0, -1, 1, "face at z = -1");
  ExpectVec(normals[1], 0, 0, 1, 1, "face at z = +1");
}

TEST(Normals, EveryCornerOfALargeFaceContributesAndRepeatsCount) {
  // A five-corner face adds its normal to its fifth vertex too; a face naming a vertex twice adds
  // twice (visible in w before normalising only, so check the direction of a shared vertex).
  const MeshObject object = MakeObject(
      {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}, {-1, 0.5f, 0, 1}, {0, 0, 1, 1}},
      {{0, 1, 2, 3, 4}, {0, 5, 1}});
  std::vector<Vec4> normals;
  ComputeNormals(object, true, normals);
  ExpectVec(normals[4], 0, 0, -1, 1, "fifth corner");
  ExpectVec(normals[0], 0, static_cast<float>(-1 / std::sqrt(2.0)),
            static_cast<float>(-1 / std::sqrt(2.0)), 1, "shared by two faces");
}

TEST(Normals, IndicesOutsideTheObjectAreNeverRead) {
  const MeshObject object = MakeObject({{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}},
                                       {{0, 1, 7}, {0, 1, 2, -1}, {-5, 0, 1}});
  std::vector<Vec4> normals;
  ComputeNormals(object, false, normals);
  ExpectVec(normals[0], 0, 0, 0, 1, "third corner outside");
  ExpectVec(normals[1], 0, 0, -1, 1, "fourth corner outside: the face still has a normal");
  ExpectVec(normals[2], 0, 0, 0, 1, "first corner negative");
  ComputeNormals(object, true, normals);
  ASSERT_EQ(normals.size(), 3u);
  for (const Vec4& v : normals)
    ExpectVec(v, 0, 0, -1, 1, "in-range corners of face 1");
}

}  // namespace
