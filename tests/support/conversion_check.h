// One input sent through the whole converter, with the checks that must hold for any input.
//
// The text way loads the bytes with LoadModelFromText; the file way saves them in the folder and
// loads that file with LoadModel, under a ".mqo" and a ".mqoz" name in turn. Either way, a failed
// load leaves the model empty; a loaded model is well formed and holds no more than the input's
// size can pay for (64 times it for a ZIP archive, which may inflate that much); it is written to
// memory in both normal modes, and what is written reads back as a valid QZ file of the expected
// size that qzdump draws as a picture; then WriteModel writes it into the folder in both modes, the
// second replacing the first, and the file holds exactly those bytes, with no temporary file left
// beside it and nothing else in the folder. The text way then bakes the model with the lathe,
// mirror and subdivision options its bytes pick and checks that the model stays well formed and
// writes whole. The fuzz targets and the regression tests share these checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Both return an empty text when every check holds, else what failed. `folder` must exist and be
// empty; it is left as it was found.
std::string CheckTextConversion(const uint8_t* data, size_t size, const std::string& folder);
std::string CheckFileConversion(const uint8_t* data, size_t size, const std::string& folder);
