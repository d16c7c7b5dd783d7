// The in-memory model that the reader fills and the writer reads, and the entry points of the
// reader.
//
// LoadModel(model, path) reads an MQO text document, or the first .mqo document inside a ZIP
// archive (a zipped .mqoz document), or fails with a LoadResult; FreeModel empties a model.
// Loading is safe on untrusted input: every material, vertex, face and face corner the model
// holds is charged against a budget of one unit per byte of text (the inflated text for a zipped
// document, at most 64 times the archive's size), so memory and time stay linear in the file's
// size whatever counts the text declares; no input crashes the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Vec4 {
  float x, y, z, w;
};

struct MaterialColour {
  float r, g, b, a;
};

struct Material {
  std::string name;           // the quoted name that opened the material
  std::string textureName;    // argument of tex; meaningful only when textureIndex >= 0
  int32_t textureIndex = -1;  // texture number of textureName, -1 for none
  float dif = 0, amb = 0, emi = 0, spc = 0, power = 0;
  MaterialColour col{1, 1, 1, 1};
};

// One face of an object. Its corners are the vertexCount entries starting at firstCorner in the
// object's cornerIndices, and the 2 * vertexCount texture coordinates (u then v for each corner)
// starting at 2 * firstCorner in its cornerUvs.
struct Face {
  int32_t material = 0;
  int32_t vertexCount = 0;  // at least 1
  uint32_t firstCorner = 0;
};

struct MeshObject {
  std::string name;
  std::vector<Vec4> vertices;          // positions, w = 1
  std::vector<Face> faces;             // in file order
  std::vector<int32_t> cornerIndices;  // vertex index of every corner of every face
  std::vector<float> cornerUvs;        // u, v of every corner of every face
  // Settings the QZ records cannot carry, as the modeller saved them.
  bool visible = true;        // "visible 0": hidden in the modeller
  int32_t mirror = 0;         // 0 none, 1 separate halves, 2 halves connected at the seam
  int32_t mirrorAxis = 1;     // the mirror planes: X = 1, Y = 2, Z = 4
  float mirrorDistance = -1;  // "mirror_dis", the joining distance; negative when absent
  // Crease value of every corner's edge (from that corner to the next), "CRS(...)" on a face
  // line. Empty unless some face of the object has one; then as long as cornerIndices, 0 for the
  // corners of faces without.
  std::vector<float> cornerCreases = {};
  // A curved surface: "patch" 0 plain polygons, 1 and 2 spline types, 3 Catmull-Clark, 4 the
  // modeller's OpenSubdiv surface; "segment" its subdivision levels. The patch* settings are
  // kept as written, -1 when absent.
  int32_t patch = 0;
  int32_t segment = 1;
  int32_t patchTri = -1;
  int32_t patchSmoothTri = -1;
  int32_t patchLimitSurface = -1;
  int32_t patchMeshInterp = -1;
  int32_t patchUvInterp = -1;
  // A body the modeller turns from a profile: "lathe" 0 none, 1 facing away from the axis, 2
  // facing it, 3 both; "lathe_axis" 0 X, 1 Y, 2 Z; "lathe_seg" its steps (0 when absent).
  int32_t lathe = 0;
  int32_t latheAxis = 0;
  int32_t latheSegments = 0;
  int32_t shading = 1;  // 0 flat, otherwise smooth (Gouraud) within the smoothing angle
  float facet = 59.5f;  // "facet": the smoothing angle in degrees, as written
  // The object's own frame ("scale", "rotation" heading pitch bank in degrees, "translation"):
  // the vertices are stored in the document's coordinates whatever it is.
  float scale[3] = {1, 1, 1};
  float rotation[3] = {0, 0, 0};
  float translation[3] = {0, 0, 0};
};

struct Model {
  int32_t textureCount = 0;  // texture numbers handed out, from 0, in the order tex is read
  std::vector<Material> materials;
  std::vector<MeshObject> objects;  // the object read last stands first
};

// What the later stages rely on, and a loaded or baked model always holds: each object's faces
// take their corners one after another from the start of cornerIndices (firstCorner is the sum of
// the earlier faces' vertexCount), every face has at least one corner, the faces own every entry
// of cornerIndices and two of cornerUvs per corner, every position has w = 1, and every texture
// number lies between -1 and textureCount - 1 (textureCount >= 0). A corner index outside the
// vertex list and a material index outside the table are legal: such a corner is written at the
// origin, such a face with the default material.
enum ModelFault : int {
  kModelSound = 0,
  kModelTextureCount,    // textureCount is negative
  kModelTextureNumber,   // a material's texture number outside -1 .. textureCount - 1
  kModelFaceNoCorners,   // a face of vertexCount < 1
  kModelFaceOutOfOrder,  // a face whose firstCorner is not where the previous face ended
  kModelCornerCount,     // the faces' corners and cornerIndices differ in number
  kModelUvCount,         // cornerUvs holds other than two numbers per corner
  kModelPositionW,       // a position whose w is not 1
  kModelCreaseCount,     // cornerCreases neither empty nor one number per corner
};
ModelFault ValidateObject(const MeshObject& object);
// The model's own checks, then ValidateObject on each object: the first fault found.
ModelFault ValidateModel(const Model& model);

// Where a corner is written when its index names none of the object's vertices.
inline constexpr Vec4 kOrigin{0, 0, 0, 1};

// Corner k (0 <= k < vertexCount) of a face of a sound object: the vertex it names, or, when its
// index lies outside the vertex list, vertex -1 at the origin.
struct CornerPoint {
  int32_t vertex;
  const Vec4& position;
};
inline CornerPoint CornerAt(const MeshObject& object, const Face& face, uint32_t k) {
  // A negative index, taken as unsigned, lies as far outside as a large one.
  const auto index = static_cast<uint32_t>(object.cornerIndices[face.firstCorner + k]);
  if (index < object.vertices.size()) return {static_cast<int32_t>(index), object.vertices[index]};
  return {-1, kOrigin};
}

enum LoadResult : int {
  kLoadOk = 0,
  kLoadUnreadable = 1,  // cannot be read, or more than its size can pay for
  kLoadNotMqo = 2,      // first token is not "metasequoia"
};

// Why a load gave kLoadUnreadable, for messages that say more than the result.
enum LoadCause : int {
  kCauseNone = 0,
  kCauseSystem,          // the system's error: `systemError` holds its errno value
  kCauseFolder,          // a folder where a file was expected
  kCauseNotAFile,        // a device, a FIFO or a socket
  kCauseTooLarge,        // too large for memory
  kCauseShortened,       // the file was shortened while it was read
  kCauseChanged,         // the file grew or was rewritten while it was read
  kCauseZipNoDocument,   // a ZIP archive without an .mqo entry
  kCauseZipDamaged,      // a damaged ZIP archive
  kCauseZipUnsupported,  // encrypted, ZIP64, split over disks, or an unknown compression
  kCauseOverCounted,     // counts beyond what a text of its size can hold
  kCauseBinaryDamaged,   // binary vertex data cut short, or of another size than its count
};
struct LoadFailure {
  LoadCause cause = kCauseNone;
  int systemError = 0;
};

// Both empty `model` first and leave it empty unless they return kLoadOk; `failure`, when given,
// says why a load gave kLoadUnreadable.
LoadResult LoadModel(Model& model, const char* path, LoadFailure* failure = nullptr);
// The same for a text already in memory: size bytes, all of them charged to the budget. Reading
// ends at the first zero byte the tokenizer meets; binary data that the text announces (a BVertex
// chunk's raw floats) is taken by its length, zero bytes included.
LoadResult LoadModelFromText(Model& model, const char* text, size_t size);
void FreeModel(Model& model);
