// Curved-surface objects refined into the faces the modeller shows, by OpenSubdiv's Catmull-Clark
// scheme (docs/subdivision.md says which rules and why).
//
// An object is refined when its patch is 3 (Catmull-Clark; patchtri absent or 0) or 4 (the
// modeller's OpenSubdiv surface), in SubdivisionLevels(object) uniform levels: segment, or 1 when
// it is absent, and the nearest of 1 to 4 when it lies outside. The faces given to the refiner are
// those of three corners or more whose corners name distinct vertices of the object; after L
// levels each of them has become (its corner count) x 4^(L-1) quads, each with its parent's
// material. Texture coordinates are refined as a face-varying channel: corners that share a vertex
// and equal coordinates share a value, so a seam stays a seam. Creases (CRS) sharpen their edges:
// for patch 3 any positive value makes the edge infinitely sharp, for patch 4 the value is the
// edge's sharpness; when the two faces of an edge disagree, the larger value wins. The other
// faces keep their corners and come first, in their order, the refined faces after them in the
// order of their parents; the object's vertices keep their indices when such faces remain, and
// the refined vertices follow.
#pragma once

#include <cstdint>

#include "reader/model.h"

// Whether Subdivide refines the object.
bool RefinesAsSurface(const MeshObject& object);
// The levels it is refined in, and whether segment had to be brought into 1 to 4 for them.
int32_t SubdivisionLevels(const MeshObject& object);
bool LevelsOutOfRange(const MeshObject& object);
// The QZ records the object gives once refined (its own when it is not refined), counted without
// refining.
uint64_t SubdividedRecords(const MeshObject& object);

enum SubdivisionResult : int {
  kSubdivided = 0,       // refined, or not a surface Subdivide refines: patch set to 0 if refined
  kSurfaceRefused = 1,   // no face to refine, or a topology OpenSubdiv rejects: left as it was
  kSurfaceNoMemory = 2,  // memory ran out, or the counts would pass 32-bit indices: as it was
};
SubdivisionResult Subdivide(MeshObject& object);
