// Mirror objects baked into plain faces, as the modeller shows them.
//
// A mirror object stores the half the user modelled; the modeller shows it reflected on the
// planes x = 0, y = 0, z = 0 of the object's coordinates that its mirrorAxis names (X = 1, Y = 2,
// Z = 4). BakeMirror does nothing unless object.mirror is 1 (separate halves) or 2 (halves
// connected at the seam) and mirrorAxis names a plane. Then each non-empty combination of the
// named planes, in ascending value, appends one copy of the object's faces reflected on its
// planes: coordinates negated on those axes (a zero stays +0), the same materials, the UVs and
// the edges' creases moving with their corners, and, for one or three planes, the corners in the
// order (c2, c1, c0, c(k-1), ..., c3), which keeps the first three corners' triangle and a quad's
// diagonal.
//
// Connected halves also meet as the modeller joins them: a vertex lying on a plane is shared with
// its reflection instead of copied; a face lying wholly on a plane gets no copies across that
// plane; and every open edge (an edge of one face only) whose two ends lie within the joining
// distance of a plane is bridged to its reflection across that plane by a new face: (a, a', b',
// b) for the edge a -> b and its reflection a' -> b', turned over with the copy it starts from, a
// triangle when one end lies on the plane (an edge lying on the plane needs none). A bridge has
// the material of the edge's face and the UVs of the edge's two ends on both sides. The bridges
// follow the copies, by plane (X, Y, Z), then by the copy on their near side, then in the order
// of their edges in the faces. The joining distance is mirrorDistance, or kDefaultJoinDistance
// when that is negative (absent from the document).
//
// The object's vertices and faces keep their indices and order; new ones follow them. A corner
// index outside the vertex list becomes -1, which stays outside it, so such a corner still writes
// the origin; on a plane test it counts as the origin. The object must be sound (ValidateObject;
// asserted in debug builds), as every model the reader gives is. Safe on any such object: time
// n log n and memory linear in the object's vertices and corners. An object whose baked form
// would not fit the model's 32-bit counts, or for which memory runs out, is left as it was.
//
// Connected halves never bridge an edge twice, nor an edge that baking closes. An edge whose two
// ends lie on a plane gets, from the copy across that plane, a second face (unless its own face
// lies wholly on the plane and so has no copy there), so it is open no longer and has no bridge
// across any plane. And a copy that a face does not get (lying wholly on a plane) has no bridges
// either, where its reflection would coincide with a bridge of the face itself.
//
// mirrorAxis 8 asks for the planes of the object's own frame (its scale, rotation and
// translation); the vertices are stored in the document's coordinates, so when that frame is not
// the identity the object is left as it was: BakeMirror says kMirrorLocalFrame.
#pragma once

#include <cstdint>

#include "reader/model.h"

// When a document names no joining distance: a choice of ours, see docs/mirrors.md.
inline constexpr float kDefaultJoinDistance = 8.0f;

enum MirrorBake : int {
  kMirrorNone = 0,      // not a mirror object: nothing to do
  kMirrorBaked,         // baked
  kMirrorLocalFrame,    // left as it was: mirrored in a frame of its own
  kMirrorLeftAsStored,  // left as it was: too large for the model's counts, or no memory
};

MirrorBake BakeMirror(MeshObject& object);

// The mirror objects that BakeMirrors leaves as stored, by reason.
struct MirrorsLeft {
  uint64_t localFrame = 0;
  uint64_t unbaked = 0;  // too large, or no memory
};
// BakeMirror on every object of the model.
MirrorsLeft BakeMirrors(Model& model);
