// One conversion from start to finish: load the source, write the destination. It is done
// without a word and says how it went: the outcome, why a load or a write failed, and what the
// written file does not carry of the model as the modeller shows it. The command line reports it
// in lines, the dialog (dialog_model.h) and the Windows command line in a message box.
#pragma once

#include "reader/model.h"
#include "writer/bake.h"
#include "writer/model_notes.h"
#include "writer/output_file.h"

enum ConversionOutcome : int {
  kConverted = 0,
  kSourceUnreadable = 1,
  kSourceNotMqo = 2,
  kDestinationUnwritable = 3,
};

struct ConversionOptions {
  bool smooth = true;          // normals for smooth shading, else for flat shading
  bool bakeMirrors = false;    // mirror objects written whole, as the modeller shows them
  bool visibleOnly = false;    // objects hidden in the modeller left out
  bool lathe = false;          // lathe objects turned into their bodies
  bool subdivide = false;      // curved surfaces refined (where the build has subdivision)
  bool noteModel = false;      // count what the file does not carry, for warnings
  bool shadedNormals = false;  // unless flat, normals as the modeller shades each object
};

struct Conversion {
  ConversionOutcome outcome = kConverted;
  LoadFailure loadFailure;    // why, for kSourceUnreadable
  WriteFailure writeFailure;  // why, for kDestinationUnwritable
  ModelNotes notes;           // of the model as written, when noteModel asked for them
  BakeReport bake;            // what baking left as stored, and why it stopped
};

Conversion Convert(const char* sourcePath, const char* destinationPath,
                   const ConversionOptions& options);
