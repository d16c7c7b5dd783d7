// Normals of one object's faces, in one of two modes.
//
// Smooth: one normal per vertex, the normalised sum of the unit normals of the faces that use it
// (once per corner). Flat: one normal per face. A face's normal is (p2 - p0) × (p1 - p0) of its
// first three corners, normalised; faces of fewer than three corners, and faces whose first three
// corners name a vertex outside the object, give none. Corners outside the object receive none.
// Every result has w = 1 and unit length or x = y = z = 0.
#pragma once

#include <vector>

#include "reader/model.h"

// Fills `normals` with vertices.size() entries when smooth, else faces.size(); reuses its storage.
void ComputeNormals(const MeshObject& object, bool smooth, std::vector<Vec4>& normals);
