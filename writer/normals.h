// Normals of one object's faces, in one of three modes.
//
// Smooth: one normal per vertex, the normalised sum of the unit normals of the faces that use it
// (once per corner). Flat: one normal per face. A face's normal is (p2 - p0) × (p1 - p0) of its
// first three corners, normalised; faces of fewer than three corners, and faces whose first three
// corners name a vertex outside the object, give none. Corners outside the object receive none.
// Every result has w = 1 and unit length or x = y = z = 0.
//
// Shaded: the normals the modeller shades the object with, one per corner. An object of shading 0
// is flat: every corner takes its face's normal. Otherwise, at each vertex, the corners that use
// it are put into groups, in the order of the faces (a face naming the vertex twice counts
// twice): a corner joins the first group whose running sum of unit face normals lies within the
// object's smoothing angle of its face's normal (cosine of the angle >= cosine of the smoothing
// angle, s·n >= cos·|s| in double precision), else it starts a group of its own; each corner takes
// its group's normalised sum of unit face normals. A smoothing angle that is NaN, negative or above
// 180 degrees counts as 59.5. At 180 degrees every corner joins the vertex's first group without a
// test, so the result is the smooth mode's, bit for bit. Below it, a face without a usable normal
// (none, zero or not finite) joins no group: its corners take what smooth mode gives them, the
// normalised sum of every face at the vertex. Corners outside the object receive (0, 0, 0, 1), as
// in smooth mode. So that time stays linear in the corners whatever the document, a corner is
// compared with the first 64 groups of its vertex only: past them it starts a group of its own.
// (Real models meet far fewer groups at one vertex; a document that puts thousands of faces of as
// many directions around one vertex would otherwise cost the square of their number.)
#pragma once

#include <cstdint>
#include <vector>

#include "reader/model.h"

// Fills `normals` with vertices.size() entries when smooth, else faces.size(); reuses its storage.
void ComputeNormals(const MeshObject& object, bool smooth, std::vector<Vec4>& normals);

// A corner at a vertex: its face and its entry in the object's cornerIndices.
struct VertexCorner {
  uint32_t face, corner;
};

// The shaded mode's result and working storage, reused from one object to the next.
struct ShadedNormals {
  std::vector<Vec4> normals;       // entry 0 is (0, 0, 0, 1), for corners outside the object
  std::vector<uint32_t> ofCorner;  // for each entry of the object's cornerIndices, its normal
  // Working storage: face normals, and the corners at each vertex, vertex after vertex, the
  // corners of vertex v ending at vertexEnds[v].
  std::vector<Vec4> faceNormals;
  std::vector<uint32_t> vertexEnds;
  std::vector<VertexCorner> vertexCorners;
};

void ComputeShadedNormals(const MeshObject& object, ShadedNormals& shaded);

// The smoothing angle an object's `facet` stands for, in degrees: itself from 0 to 180, else 59.5.
float SmoothingAngle(float facet);
// The cosine of an angle of 0 to 180 degrees, the same on every platform (see normals.cpp).
double CosineOfDegrees(double degrees);
