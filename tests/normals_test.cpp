// Normals of small objects in both modes: each row is an object and the normals it must get.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

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
    MeshObject object;
    object.vertices = row.vertices;
    for (const auto& corners : row.faces) {
      object.faces.push_back(Face{0, static_cast<int32_t>(corners.size()),
                                  static_cast<uint32_t>(object.cornerIndices.size())});
      object.cornerIndices.insert(object.cornerIndices.end(), corners.begin(), corners.end());
    }
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

}  // namespace
