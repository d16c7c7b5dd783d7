// Draws every record of a QZ file into a square picture: a depth buffer keeps the nearest
// surface, each pixel is lit from the record's own normals interpolated across it by one light at
// the viewer, and coloured with the record's colour on a plain background.
//
// A record is drawn as the two triangles (0 1 2) and (0 2 3), sharing the diagonal from corner 0
// to corner 2 as a face's fan of records does; a triangle's record repeats corner 2 in corner 3,
// so its second triangle has no area and draws nothing. Records with a non-finite position are
// left out. The lighting is one-sided: a pixel whose normal points away from the viewer gets the
// ambient part only, so faces written with their normals turned inwards show dark.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/qzdump/picture_frame.h"

inline constexpr uint8_t kPictureBackground[3] = {72, 96, 128};
inline constexpr double kAmbientLight = 0.2;  // the rest, 0.8, is diffuse

struct Picture {
  int size = 0;              // pixels a side
  std::vector<uint8_t> rgb;  // rows from the top, 3 bytes (red, green, blue) a pixel
};

Picture DrawPicture(const QzFile& file, PictureView view, int size);
