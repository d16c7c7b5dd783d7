// Lathe objects turned into the bodies the modeller shows.
//
// A lathe object (lathe 1, 2 or 3, lathe_axis 0 X, 1 Y or 2 Z) stores a profile: its faces of two
// corners are edges that the modeller turns around the axis through the origin. BakeLathe turns
// every such edge latheSegments steps (fewer than 3: 3; more than 256: 256), one quad per edge and
// step, between the edge at step s and at step s + 1; an end lying on the axis is not copied, and
// its quads become triangles; an edge of no length, or lying on the axis, gives nothing. The
// quads face away from the axis for lathe 1, towards it for lathe 2, and both ways for lathe 3
// (the two back to back, the outward one first); a profile edge that runs at right angles to the
// axis gives a ring that faces the axis' positive direction for lathe 1. Each quad has its edge's
// material. Texture coordinates: u runs around the body, s / steps at step s (1 where the last
// step meets the first), v is 0 at the edge's first corner and 1 at its second.
//
// The profile's two-corner faces are dropped; every other face keeps its place and its corners,
// and the new faces follow them, by edge in face order, then by step. The object's vertices keep
// their indices (step 0 is the profile itself); the copies of each vertex follow, in the order the
// edges first use them, then by step. For lathe 3 the inward quads have vertices of their own,
// the whole list again after the first, so that each side's smooth normals are its own. The step's
// cosines and sines come from our own polynomials in double, so that every platform gives the same
// bytes. Objects that are no lathe object, or whose axis is not 0, 1 or 2, are left as they are.
#pragma once

#include <cstdint>

#include "reader/model.h"

// The number of steps a lathe object is turned in.
uint32_t LatheSteps(const MeshObject& object);
// Whether BakeLathe turns the object.
bool TurnsAsLathe(const MeshObject& object);
// The QZ records the object gives once turned (its own when it is not turned), counted without
// building anything.
uint64_t LatheRecords(const MeshObject& object);
// Turns the object; false, the object unchanged, when memory ran out or its counts would pass the
// model's 32-bit indices.
bool BakeLathe(MeshObject& object);
// The cosine and sine of s / n of a full turn (0 < n <= 1024, s < n), as BakeLathe uses them.
struct StepTurn {
  double cosine, sine;
};
StepTurn TurnOfStep(uint32_t s, uint32_t n);
