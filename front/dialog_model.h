// The conversion dialog's state and what it does, apart from how it is shown: the Windows dialog
// procedure keeps it in its controls, the terminal in its form's fields. A drop fills in the
// source and the destination (the source with ".qz" appended); "convert" converts the two paths
// as they stand, with normals for flat shading when the box is ticked. Settings the dialog does
// not show, when there are some, join `flat` here and reach the conversion the same way.
#pragma once

#include <span>
#include <string>

#include "front/convert_file.h"
#include "front/program_settings.h"

struct DialogModel {
  std::string source;          // the source field's text
  std::string destination;     // the destination field's text
  bool flat = false;           // the flat-shading box, clear at first
  ProgramSettings settings{};  // the Windows program's settings file; all off elsewhere
};

// A drop of `paths`: the first one is taken, the others are ignored, and its name is not
// examined. Returns false, and changes nothing, when the drop holds no path.
bool OnDropped(DialogModel& model, std::span<const std::string> paths);

// The button: one conversion, which the views then report in a message box.
Conversion OnConvert(const DialogModel& model);

// What a message box says of an outcome.
const char* OutcomeText(ConversionOutcome outcome);
