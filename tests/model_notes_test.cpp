// What the notes count, at each count's boundary: a model of one thing on either side of it.
#include <gtest/gtest.h>

#include <functional>

#include "writer/model_notes.h"

namespace {

// An object of `faces` faces of `corners` corners each, over one vertex.
MeshObject Faces(uint32_t faces, int32_t corners) {
  MeshObject object;
  object.vertices = {{0, 0, 0, 1}};
  for (uint32_t f = 0; f < faces; ++f) {
    object.faces.push_back(Face{0, corners, static_cast<uint32_t>(object.cornerIndices.size())});
    object.cornerIndices.insert(object.cornerIndices.end(), static_cast<size_t>(corners), 0);
  }
  object.cornerUvs.assign(2 * object.cornerIndices.size(), 0.0f);
  return object;
}

Model OneMaterial(const std::string& textureName, int32_t textureIndex) {
  Model model;
  model.textureCount = 1;
  model.materials = {Material{}};
  model.materials[0].textureName = textureName;
  model.materials[0].textureIndex = textureIndex;
  return model;
}

TEST(ModelNotes, EachCountAtItsBoundary) {
  const struct {
    const char* name;
    std::function<void(Model&)> make;
    uint64_t ModelNotes::*count;
    uint64_t expected;
  } rows[] = {
      {"a texture name filling its slot",
       [](Model& m) { m = OneMaterial(std::string(16, 'a'), 0); }, &ModelNotes::cutTextureNames, 0},
      {"one byte longer", [](Model& m) { m = OneMaterial(std::string(17, 'a'), 0); },
       &ModelNotes::cutTextureNames, 1},
      {"a long name of no texture", [](Model& m) { m = OneMaterial(std::string(17, 'a'), -1); },
       &ModelNotes::cutTextureNames, 0},
      {"65,535 records", [](Model& m) { m.objects = {Faces(65535, 3)}; },
       &ModelNotes::wrappedObjects, 0},
      {"65,536 records", [](Model& m) { m.objects = {Faces(65536, 1)}; },
       &ModelNotes::wrappedObjects, 1},
      {"a face of four corners", [](Model& m) { m.objects = {Faces(1, 4)}; },
       &ModelNotes::fannedFaces, 0},
      {"of five", [](Model& m) { m.objects = {Faces(2, 5)}; }, &ModelNotes::fannedFaces, 2},
      {"a face of three corners", [](Model& m) { m.objects = {Faces(1, 3)}; },
       &ModelNotes::shortFaces, 0},
      {"of two and one",
       [](Model& m) {
         m.objects = {Faces(1, 2), Faces(1, 1)};
       },
       &ModelNotes::shortFaces, 2},
      {"corners -1, 0 and 1 of one vertex",
       [](Model& m) {
         m.objects = {Faces(1, 3)};
         m.objects[0].cornerIndices = {-1, 0, 1};
       },
       &ModelNotes::cornersOutOfRange, 2},
      {"materials -1, 0 and 1 of one",
       [](Model& m) {
         m = OneMaterial("", -1);
         m.objects = {Faces(3, 3)};
         for (int32_t f = 0; f < 3; ++f)
           m.objects[0].faces[static_cast<size_t>(f)].material = f - 1;
       },
       &ModelNotes::materialsOutOfRange, 2},
  };
  for (const auto& row : rows) {
    Model model;
    row.make(model);
    ASSERT_EQ(ValidateModel(model), kModelSound) << row.name;
    EXPECT_EQ(NoteModel(model).*row.count, row.expected) << row.name;
  }
}

}  // namespace
