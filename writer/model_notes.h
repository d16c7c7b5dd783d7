// What a QZ file does not carry of a model as the modeller shows it, counted for the command
// line's warnings: objects hidden in the modeller (converted all the same), mirror, lathe and
// patch objects (written as stored: half, profile, control cage), faces of more than four corners
// (written as fans of records) and of one or two, corner and material indices out of range
// (written as the origin and as white without a texture), texture names longer than a texture
// slot (cut), and objects of more than 65,535 records (whose 16-bit count in the object entry
// wraps).
#pragma once

#include <cstdint>

#include "reader/model.h"

struct ModelNotes {
  uint64_t hiddenObjects = 0;
  uint64_t mirrorObjects = 0;
  uint64_t latheObjects = 0;
  uint64_t patchObjects = 0;
  uint64_t fannedFaces = 0;
  uint64_t shortFaces = 0;
  uint64_t cornersOutOfRange = 0;
  uint64_t materialsOutOfRange = 0;
  uint64_t cutTextureNames = 0;
  uint64_t wrappedObjects = 0;
  uint64_t localMirrorObjects = 0;  // set by the caller: left unbaked, mirrored in their own frame
};

ModelNotes NoteModel(const Model& model);
