// One conversion from start to finish: load the source, write the destination.
//
// Convert does it without a word and says how it went: the outcome, why a load or a write failed,
// and what the written file does not carry of the model as the modeller shows it. ConvertFile is
// the dialog's and the Windows command line's way: it tells the user the outcome in a message box
// owned by `window` (none on the command line), and returns only after the box is closed.
#pragma once

#include "front/window_services.h"
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
  bool smooth = true;        // normals for smooth shading, else for flat shading
  bool bakeMirrors = false;  // mirror objects written whole, as the modeller shows them
  bool visibleOnly = false;  // objects hidden in the modeller left out
  bool lathe = false;        // lathe objects turned into their bodies
  bool subdivide = false;    // curved surfaces refined (where the build has subdivision)
  bool noteModel = false;    // count what the file does not carry, for warnings
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

// Normals are smooth unless `window` is a dialog whose flat-shading box is ticked.
ConversionOutcome ConvertFile(HWND window, const char* sourcePath, const char* destinationPath);
