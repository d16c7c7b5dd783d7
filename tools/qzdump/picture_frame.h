// Where a picture of a QZ file looks from and how the model fits it: the six views, and the frame
// that maps a position to a pixel of a square picture so that the finite positions of every
// record fill it (orthographic: no perspective).
#pragma once

#include "tools/qzdump/qz_file.h"

inline constexpr int kSmallestPicture = 16;
inline constexpr int kLargestPicture = 4096;

// A picture's size written in decimal digits alone, kSmallestPicture to kLargestPicture; false
// for any other text, `size` left as it was.
bool ParsePictureSize(const char* text, int& size);

// front looks from +Z (X right, Y up), back from -Z, left from -X, right from +X, top from +Y
// (X right, -Z up) and iso from (+1, +1, +1) with Y up.
enum class PictureView { kFront, kBack, kLeft, kRight, kTop, kIso };

// The view named `name`, or false for a name that is none of the six.
bool ParsePictureView(const char* name, PictureView& view);

struct ScreenPoint {
  double x, y;   // pixels from the picture's left and top edges
  double depth;  // in pixels from the model's middle, larger towards the viewer
};

struct PictureFrame {
  double right[3], up[3], toward[3];  // the view's axes; toward points at the viewer
  double middle[3];                   // the middle of the model, in view coordinates
  double scale;                       // pixels per model unit
  int size;                           // pixels a side
};

// A record is drawn only when all four of its positions are finite.
bool RecordIsFinite(const QzFaceRecord& record);

// The frame that fits the bounding box of the drawn records' positions, seen from `view`, into a
// picture `size` pixels a side, with a margin of a twentieth of it on every side.
PictureFrame FitPicture(const QzFile& file, PictureView view, int size);

ScreenPoint Project(const PictureFrame& frame, const Vec4& position);
