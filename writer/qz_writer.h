// Turns a loaded model into a QZ model file.
//
// Both take a sound model (ValidateModel; asserted in debug builds).
//
// WriteQz streams the file front to back through `sink`, in one pass: the header's sizes follow
// from the counts alone. Faces of one to four corners give one record; a face of more corners is
// written as a fan of records (c0 c1 c2 c3), (c0 c3 c4 c5), ... Indices outside the object's
// vertex list and material indices outside the table are never followed. WriteQz returns false
// when the sink fails or the file would not fit the format's 32-bit sizes.
//
// An object entry holds its record count in 16 bits. By default an object of more records takes
// one entry all the same, whose count wraps; with splitLongObjects it takes as many consecutive
// entries as it needs, each of at most 65,535 records, the last holding the rest. Either way the
// records are the same: the normals are those of the whole object.
//
// WriteModel writes the file at `path` and returns 0, or 1 on any failure, in which case nothing
// at `path` has changed (see output_file.h) and `failure`, when given, says why.
#pragma once

#include <cstddef>
#include <cstdint>

#include "reader/model.h"
#include "writer/output_file.h"

struct QzSink {
  bool (*write)(void* context, const void* bytes, size_t size);
  void* context;
};

enum NormalMode : int {
  kSmoothNormals = 0,  // one per vertex
  kFlatNormals,        // one per face
  kShadedNormals,      // as the modeller shades each object (see normals.h)
};

struct WriteOptions {
  NormalMode normals = kSmoothNormals;
  bool splitLongObjects = false;  // several entries for an object past 65,535 records
};

inline constexpr uint64_t kQzMaxEntryRecords = 0xFFFF;

// The object entries an object of `records` records takes.
inline uint64_t QzEntriesOf(uint64_t records, bool splitLongObjects) {
  return splitLongObjects && records > kQzMaxEntryRecords
             ? (records + kQzMaxEntryRecords - 1) / kQzMaxEntryRecords
             : 1;
}

bool WriteQz(const Model& model, const WriteOptions& options, QzSink sink);
int WriteModel(const Model& model, const char* path, const WriteOptions& options,
               WriteFailure* failure = nullptr);
