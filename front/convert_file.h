// One conversion from start to finish: load the source, write the destination, and tell the user
// the outcome in a message box owned by `window` (none on the command line). The call returns
// only after the box is closed.
#pragma once

#include "front/window_services.h"

enum ConversionOutcome : int {
  kConverted = 0,
  kSourceUnreadable = 1,
  kSourceNotMqo = 2,
  kDestinationUnwritable = 3,
};

// Normals are smooth unless `window` is a dialog whose flat-shading box is ticked.
ConversionOutcome ConvertFile(HWND window, const char* sourcePath, const char* destinationPath);
ConversionOutcome ConvertFileWithNormals(HWND window, const char* sourcePath,
                                         const char* destinationPath, bool smooth);
