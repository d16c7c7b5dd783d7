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
// WriteModel writes the file at `path` and returns 0, or 1 on any failure, in which case nothing
// at `path` has changed (see output_file.h) and `failure`, when given, says why.
#pragma once

#include <cstddef>

#include "reader/model.h"
#include "writer/output_file.h"

struct QzSink {
  bool (*write)(void* context, const void* bytes, size_t size);
  void* context;
};

bool WriteQz(const Model& model, bool smooth, QzSink sink);
int WriteModel(const Model& model, const char* path, bool smooth, WriteFailure* failure = nullptr);
