// The model's structural checks: each malformed model rejected with its reason, the legal
// out-of-range indices accepted; and the corner helper the writer stages share.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

#include "reader/model.h"

namespace {

// Two textured materials, and two objects: a triangle and a quad after one another, and a single
// corner.
Model Sound() {
  Model model;
  model.textureCount = 2;
  model.materials = {Material{}, Material{}};
  model.materials[0].textureIndex = 1;
  model.materials[1].textureIndex = -1;
  MeshObject object;
  object.vertices = {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}};
  object.faces = {Face{0, 3, 0}, Face{1, 4, 3}};
  object.cornerIndices = {0, 1, 2, 0, 1, 2, 3};
  object.cornerUvs.assign(14, 0.5f);
  MeshObject single;
  single.vertices = {{2, 2, 2, 1}};
  single.faces = {Face{0, 1, 0}};
  single.cornerIndices = {0};
  single.cornerUvs = {0, 0};
  model.objects = {object, single};
  return model;
}

TEST(ValidateModel, RejectsEachMalformedModelWithItsReason) {
  const struct {
    const char* name;
    std::function<void(Model&)> change;
    ModelFault fault;
  } rows[] = {
      {"a negative texture count", [](Model& m) { m.textureCount = -1; }, kModelTextureCount},
      {"a texture number below -1", [](Model& m) { m.materials[1].textureIndex = -2; },
       kModelTextureNumber},
      {"a texture number equal to the count", [](Model& m) { m.materials[1].textureIndex = 2; },
       kModelTextureNumber},
      {"no textures, yet a texture number 0",
       [](Model& m) { m.textureCount = 0, m.materials[0].textureIndex = 0; }, kModelTextureNumber},
      {"a face of no corners",
       [](Model& m) {
         m.objects[0].faces[1].vertexCount = 0, m.objects[0].cornerIndices.resize(3);
         m.objects[0].cornerUvs.resize(6);
       },
       kModelFaceNoCorners},
      {"a face of a negative corner count",
       [](Model& m) { m.objects[1].faces[0].vertexCount = -1; }, kModelFaceNoCorners},
      {"a face starting past the previous one's end",
       [](Model& m) { m.objects[0].faces[1].firstCorner = 4; }, kModelFaceOutOfOrder},
      {"a face sharing the previous one's corners",
       [](Model& m) { m.objects[0].faces[1].firstCorner = 0; }, kModelFaceOutOfOrder},
      {"a first face not starting at corner 0",
       [](Model& m) { m.objects[1].faces[0].firstCorner = 1; }, kModelFaceOutOfOrder},
      {"a face running past the corner list",
       [](Model& m) { m.objects[0].faces[1].vertexCount = 5; }, kModelCornerCount},
      {"a corner no face owns", [](Model& m) { m.objects[1].cornerIndices.push_back(0); },
       kModelCornerCount},
      {"corners without faces",
       [](Model& m) { m.objects[1].faces.clear(), m.objects[1].cornerUvs.clear(); },
       kModelCornerCount},
      {"one UV number short", [](Model& m) { m.objects[0].cornerUvs.pop_back(); }, kModelUvCount},
      {"one UV number too many", [](Model& m) { m.objects[1].cornerUvs.push_back(0); },
       kModelUvCount},
      {"a position of w = 0", [](Model& m) { m.objects[0].vertices[3].w = 0; }, kModelPositionW},
      {"a position of w = NaN", [](Model& m) { m.objects[1].vertices[0].w = std::nanf(""); },
       kModelPositionW},
      {"a crease short", [](Model& m) { m.objects[0].cornerCreases.assign(6, 1.0f); },
       kModelCreaseCount},
      {"a crease too many", [](Model& m) { m.objects[1].cornerCreases.assign(2, 0.0f); },
       kModelCreaseCount},
  };
  ASSERT_EQ(ValidateModel(Sound()), kModelSound);
  for (const auto& row : rows) {
    Model model = Sound();
    row.change(model);
    EXPECT_EQ(ValidateModel(model), row.fault) << row.name;
  }
}

TEST(ValidateModel, AcceptsIndicesOutsideTheirTables) {
  const struct {
    const char* name;
    std::function<void(Model&)> change;
  } rows[] = {
      {"corner indices outside the vertex list",
       [](Model& m) { m.objects[0].cornerIndices = {-1, 4, INT32_MAX, INT32_MIN, 0, 1, 2}; }},
      {"an object of faces and no vertices", [](Model& m) { m.objects[1].vertices.clear(); }},
      {"material indices outside the table",
       [](Model& m) { m.objects[0].faces[0].material = -1, m.objects[0].faces[1].material = 2; }},
      {"no materials", [](Model& m) { m.materials.clear(); }},
      {"a crease for every corner", [](Model& m) { m.objects[0].cornerCreases.assign(7, 2.0f); }},
      {"the last texture number", [](Model& m) { m.materials[1].textureIndex = 1; }},
      {"textures no material names", [](Model& m) { m.textureCount = 9; }},
      {"an object of vertices and no faces",
       [](Model& m) {
         m.objects[1].faces.clear(), m.objects[1].cornerIndices.clear();
         m.objects[1].cornerUvs.clear();
       }},
      {"no objects", [](Model& m) { m.objects.clear(); }},
      {"an empty model", [](Model& m) { m = Model{}; }},
  };
  for (const auto& row : rows) {
    Model model = Sound();
    row.change(model);
    EXPECT_EQ(ValidateModel(model), kModelSound) << row.name;
  }
}

TEST(CornerAt, GivesTheVertexOrMinusOneAtTheOrigin) {
  Model model = Sound();
  MeshObject& object = model.objects[0];
  object.cornerIndices = {-1, 4, 3, 2, INT32_MIN, 0, 3};
  const int32_t expected[] = {-1, -1, 3, 2, -1, 0, 3};
  for (uint32_t c = 0; c < 7; ++c) {
    const Face& face = object.faces[c < 3 ? 0 : 1];
    const CornerPoint point = CornerAt(object, face, c - face.firstCorner);
    EXPECT_EQ(point.vertex, expected[c]) << c;
    const Vec4& wanted = expected[c] < 0 ? kOrigin : object.vertices[expected[c]];
    EXPECT_EQ(&point.position, &wanted) << c;
  }
  EXPECT_TRUE(kOrigin.x == 0 && kOrigin.y == 0 && kOrigin.z == 0 && kOrigin.w == 1);
}

}  // namespace
