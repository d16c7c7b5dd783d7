// One Object chunk: its name, its settings, its vertex chunk (read by position) and its face chunk
// (read token by token, creases included). Braces are counted, so unknown nested chunks are
// skipped whole.

#include <algorithm>

#include "reader/mqo_reader.h"

namespace {

bool ReadVertexChunk(MqoReader& reader, MeshObject& object) {
  const uint32_t count = NextCount(reader);
  if (!Charge(reader, count)) return false;
  object.vertices.assign(count, Vec4{0, 0, 0, 1});
  Next(reader);  // the opening brace, whatever it is
  // The coordinates are read as one long run of numbers, line ends and all (the same tokens as a
  // run of three per vertex), a block of vertices at a time.
  constexpr size_t kBlock = 256;
  float xyz[3 * kBlock];
  for (size_t first = 0; first < count; first += kBlock) {
    const size_t n = std::min<size_t>(kBlock, count - first);
    NextNumbers(reader, xyz, 3 * n);
    for (size_t i = 0; i < n; ++i)
      object.vertices[first + i] = Vec4{xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2], 1.0f};
  }
  Next(reader);  // the closing brace, whatever it is
  return true;
}

// Skips a property's values up to the token that ends it with ")"; a line end stops it too, so a
// property left open costs at most the rest of its line.
void SkipProperty(MqoReader& reader) {
  while (Next(reader)) {
    const int32_t end = reader.tokenizer.breakChar;
    if (end == ')' || end == '\n') return;
  }
}

// The values of a face's CRS(...), one a corner, read as SkipProperty reads (up to the token
// that ends with ")" or a line end), so that the tokens after it are what they were when it was
// skipped. The first CRS of an object makes room for every corner; values past the face's corner
// count are dropped, and missing ones stay 0.
void ReadCreases(MqoReader& reader, MeshObject& object, const Face* face, size_t corners) {
  if (face == nullptr) corners = 0;
  if (corners > 0 && object.cornerCreases.empty()) {
    object.cornerCreases.resize(object.cornerIndices.size(), 0.0f);
  }
  for (size_t k = 0; Next(reader); ++k) {
    if (k < corners) {
      object.cornerCreases[face->firstCorner + k] = ParseReal(Current(reader));
    }
    const int32_t end = reader.tokenizer.breakChar;
    if (end == ')' || end == '\n') return;
  }
}

// Gives back the room a face chunk reserved beyond twice what it used.
void ShrinkFaceRecords(MeshObject& object) {
  auto shrink = [](auto& records) {
    if (records.capacity() > 2 * records.size() + 1024) records.shrink_to_fit();
  };
  shrink(object.faces);
  shrink(object.cornerIndices);
  shrink(object.cornerUvs);
  shrink(object.cornerCreases);
}

// The records of one face chunk while it is read.
struct FaceChunk {
  MeshObject& object;
  uint32_t declared;
  Face* current = nullptr;  // the face the last corner count created, if any
  bool overflowed = false;  // a count found no free record: values are read and dropped
  int32_t n = 0;            // the current corner count, whatever its sign
};

// A positive corner count: a face of `count` corners while the declared count has room, charged
// to the budget (false when that is overdrawn).
bool CountFace(MqoReader& reader, FaceChunk& chunk, uint32_t count) {
  MeshObject& object = chunk.object;
  if (object.faces.size() >= chunk.declared) {
    chunk.current = nullptr;
    chunk.overflowed = true;
    return true;
  }
  const size_t first = object.cornerIndices.size();
  if (!Charge(reader, 1ull + count) || first + count > UINT32_MAX) return false;
  object.faces.push_back(Face{0, static_cast<int32_t>(count), static_cast<uint32_t>(first)});
  object.cornerIndices.resize(first + count, 0);
  object.cornerUvs.resize(2 * (first + count), 0.0f);
  if (!object.cornerCreases.empty()) object.cornerCreases.resize(first + count, 0.0f);
  chunk.current = &object.faces.back();
  return true;
}

// The usual face line, "4 V(a b c d) M(m) UV(...)": its count and keywords are matched by their
// bytes instead of being tokenized, and the numbers are read as the general loop reads them after
// those tokens, so the model and the tokenizer end as they would. Stops (true) where the line
// goes another way, leaving the rest to the general loop; false when the budget is overdrawn.
bool ReadUsualFaceLine(MqoReader& reader, FaceChunk& chunk, bool& matched) {
  Tokenizer& t = reader.tokenizer;
  uint32_t count = 0;
  const size_t after = reader.exhausted ? 0 : MatchLineCount(t, t.position, count);
  matched = after != 0 && TakeKeyword(reader.token, t, after, " V(");
  if (!matched) return true;
  chunk.n = static_cast<int32_t>(count);
  if (!CountFace(reader, chunk, count)) return false;
  Face* const face = chunk.current;
  if (face == nullptr) {
    for (uint32_t k = 0; k < count && !Exhausted(reader); ++k)
      NextInt(reader);
    return true;
  }
  int32_t* const corners = &chunk.object.cornerIndices[face->firstCorner];
  float* const uvs = &chunk.object.cornerUvs[2 * size_t{face->firstCorner}];
  // The parts the one pass did not take whole are read as the general loop reads them.
  const int parts = ReadFaceLineNumbers(reader.token, t, count, corners, &face->material, uvs);
  if (parts < 1) NextNumbers(reader, corners, count);
  if (parts < 2) {
    if (!TakeKeyword(reader.token, t, t.position, " M(")) return true;
    face->material = NextInt(reader);
  }
  if (parts < 3) {
    if (!TakeKeyword(reader.token, t, t.position, " UV(")) return true;
    NextNumbers(reader, uvs, 2 * size_t{count});
  }
  return true;
}

bool ReadFaceChunk(MqoReader& reader, MeshObject& object) {
  FaceChunk chunk{object, NextCount(reader)};
  object.faces.clear();
  object.cornerIndices.clear();
  object.cornerUvs.clear();
  object.cornerCreases.clear();
  // The declared count only caps: records are made as corner counts appear. A count the rest of
  // the budget could pay for (every face costs at least two units) is taken at its word and room
  // reserved for it, four corners a face, so that a truthful count costs one allocation;
  // ShrinkFaceRecords gives back what a false one left unused. A larger count is not believed.
  if (chunk.declared <= reader.budget / 2) {
    object.faces.reserve(chunk.declared);
    object.cornerIndices.reserve(4 * size_t{chunk.declared});
    object.cornerUvs.reserve(8 * size_t{chunk.declared});
  }

  for (;;) {
    bool matched = false;
    if (!ReadUsualFaceLine(reader, chunk, matched)) return false;
    if (matched) continue;
    if (!Next(reader) || ClosesBrace(reader)) break;
    const std::string_view token = Current(reader);
    // While n > 0, the current face (if any) is the one that count created, with n corners.
    const size_t corners = chunk.n > 0 ? static_cast<size_t>(chunk.n) : 0;
    Face* const current = chunk.current;
    if (token == "v") {
      if (current != nullptr) {
        NextNumbers(reader, &object.cornerIndices[current->firstCorner], corners);
      } else {
        for (size_t k = 0; k < corners && !Exhausted(reader); ++k)
          NextInt(reader);
      }
    } else if (token == "uv") {
      if (current != nullptr) {
        NextNumbers(reader, &object.cornerUvs[2 * size_t{current->firstCorner}], 2 * corners);
      } else {
        // An uncharged count with no face to fill: at the end of the text nothing is left to
        // read or to keep.
        for (size_t k = 0; k < 2 * corners && !Exhausted(reader); ++k)
          NextReal(reader);
      }
    } else if (token == "m") {
      if (current != nullptr) {
        current->material = NextInt(reader);
      } else if (chunk.overflowed) {
        Next(reader);
      }
      // Before the first face, M is skipped and its argument is left to the loop.
    } else if (token == "crs" && reader.tokenizer.breakChar == '(') {
      ReadCreases(reader, object, current, corners);
    } else if (reader.tokenizer.breakChar == '(') {
      SkipProperty(reader);  // COL(...), UID(...), N(...) and the like
    } else {
      chunk.n = ParseInt(token);
      if (chunk.n > 0 && !CountFace(reader, chunk, static_cast<uint32_t>(chunk.n))) return false;
    }
  }
  ShrinkFaceRecords(object);
  return true;
}

}  // namespace

bool ReadObjectChunk(MqoReader& reader, MeshObject& object) {
  Next(reader);
  object.name = Current(reader);
  uint32_t depth = 0;
  while (Next(reader)) {
    if (OpensBrace(reader)) {
      ++depth;
    } else if (ClosesBrace(reader)) {
      if (depth <= 1) return true;
      --depth;
    } else if (depth <= 1) {
      const std::string_view token = Current(reader);
      if (token == "vertex") {
        if (!ReadVertexChunk(reader, object)) return false;
      } else if (token == "bvertex") {
        if (!ReadBinaryVertexChunk(reader, object)) return false;
      } else if (token == "face") {
        if (!ReadFaceChunk(reader, object)) return false;
      } else if (depth == 1) {
        if (token == "visible") object.visible = NextInt(reader) != 0;
        if (token == "mirror") object.mirror = NextInt(reader);
        if (token == "mirror_axis") object.mirrorAxis = NextInt(reader);
        if (token == "mirror_dis") object.mirrorDistance = NextReal(reader);
        if (token == "patch") object.patch = NextInt(reader);
        if (token == "segment") object.segment = NextInt(reader);
        if (token == "patchtri") object.patchTri = NextInt(reader);
        if (token == "patchsmoothtri") object.patchSmoothTri = NextInt(reader);
        if (token == "patchlimitsurface") object.patchLimitSurface = NextInt(reader);
        if (token == "patchmeshinterp") object.patchMeshInterp = NextInt(reader);
        if (token == "patchuvinterp") object.patchUvInterp = NextInt(reader);
        if (token == "lathe") object.lathe = NextInt(reader);
        if (token == "lathe_axis") object.latheAxis = NextInt(reader);
        if (token == "lathe_seg") object.latheSegments = NextInt(reader);
        if (token == "shading") object.shading = NextInt(reader);
        if (token == "facet") object.facet = NextReal(reader);
        if (token == "scale") NextNumbers(reader, object.scale, 3);
        if (token == "rotation") NextNumbers(reader, object.rotation, 3);
        if (token == "translation") NextNumbers(reader, object.translation, 3);
      }
    }
  }
  return true;
}
