// The depth-buffered triangle rasteriser behind qzdump --png: pixel centres inside a triangle
// take its depth and normal interpolated from its corners.
#include "tools/qzdump/rasterise.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kFloatMax = std::numeric_limits<float>::max();

struct Corner {
  ScreenPoint at;
  double normal[3];
};

struct Canvas {
  const PictureFrame& frame;
  Picture& picture;
  std::vector<float> depth;  // nearest depth drawn at each pixel
};

// (b - a) × (c - a) on the screen: twice the signed area of the triangle a b c.
double Edge(const ScreenPoint& a, const ScreenPoint& b, double cx, double cy) {
  return (b.x - a.x) * (cy - a.y) - (b.y - a.y) * (cx - a.x);
}

// The first and last pixel whose centre may lie between `low` and `high`, within the picture; an
// empty range when none does.
void PixelRange(double low, double high, int size, int& first, int& last) {
  const double from = std::max(std::ceil(low - 0.5), 0.0);
  const double to = std::min(std::floor(high - 0.5), size - 1.0);
  if (!(from <= to)) {
    first = 0;
    last = -1;
    return;
  }
  first = static_cast<int>(from);
  last = static_cast<int>(to);
}

// 0 to 1: the ambient part, and the diffuse part of the normal's cosine to the viewer.
double Brightness(const double normal[3], const double toward[3]) {
  const double length =
      std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
  double cosine = (normal[0] * toward[0] + normal[1] * toward[1] + normal[2] * toward[2]) / length;
  if (!(cosine > 0)) cosine = 0;  // turned away, no length, or not a number
  return kAmbientLight + (1 - kAmbientLight) * cosine;
}

void DrawTriangle(Canvas& canvas, const Corner& a, const Corner& b, const Corner& c,
                  const uint8_t colour[3]) {
  const double area = Edge(a.at, b.at, c.at.x, c.at.y);
  if (!(std::fabs(area) > 0)) return;
  const int size = canvas.frame.size;
  int x0, x1, y0, y1;
  PixelRange(std::min({a.at.x, b.at.x, c.at.x}), std::max({a.at.x, b.at.x, c.at.x}), size, x0, x1);
  PixelRange(std::min({a.at.y, b.at.y, c.at.y}), std::max({a.at.y, b.at.y, c.at.y}), size, y0, y1);
  for (int y = y0; y <= y1; ++y) {
    const double cy = y + 0.5;
    for (int x = x0; x <= x1; ++x) {
      const double cx = x + 0.5;
      // Barycentric weights of the pixel centre; all of them 0 to 1 inside the triangle.
      const double wa = Edge(b.at, c.at, cx, cy) / area;
      const double wb = Edge(c.at, a.at, cx, cy) / area;
      const double wc = Edge(a.at, b.at, cx, cy) / area;
      if (wa < 0 || wb < 0 || wc < 0) continue;
      const size_t pixel =
          static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x);
      const double nearness = wa * a.at.depth + wb * b.at.depth + wc * c.at.depth;
      const auto depth = static_cast<float>(std::clamp(nearness, -kFloatMax, kFloatMax));
      if (!(depth > canvas.depth[pixel])) continue;
      canvas.depth[pixel] = depth;
      double normal[3];
      for (int k = 0; k < 3; ++k)
        normal[k] = wa * a.normal[k] + wb * b.normal[k] + wc * c.normal[k];
      const double light = Brightness(normal, canvas.frame.toward);
      for (int k = 0; k < 3; ++k) {
        canvas.picture.rgb[3 * pixel + static_cast<size_t>(k)] =
            static_cast<uint8_t>(std::lround(colour[k] * light));
      }
    }
  }
}

}  // namespace

Picture DrawPicture(const QzFile& file, PictureView view, int size) {
  Picture picture;
  picture.size = size;
  const auto pixels = static_cast<size_t>(size) * static_cast<size_t>(size);
  picture.rgb.resize(3 * pixels);
  for (size_t i = 0; i < 3 * pixels; ++i)
    picture.rgb[i] = kPictureBackground[i % 3];
  const PictureFrame frame = FitPicture(file, view, size);
  Canvas canvas{frame, picture, std::vector<float>(pixels, -HUGE_VALF)};
  for (const QzFaceRecord& record : file.faces) {
    if (!RecordIsFinite(record)) continue;
    Corner corners[4];
    for (int k = 0; k < 4; ++k) {
      const Vec4& n = record.normals[k];
      corners[k] = {Project(frame, record.positions[k]),
                    {static_cast<double>(n.x), static_cast<double>(n.y), static_cast<double>(n.z)}};
    }
    // The packed colour holds blue in its low byte, then green, then red.
    const uint8_t colour[3] = {static_cast<uint8_t>(record.colour >> 16),
                               static_cast<uint8_t>(record.colour >> 8),
                               static_cast<uint8_t>(record.colour)};
    DrawTriangle(canvas, corners[0], corners[1], corners[2], colour);
    DrawTriangle(canvas, corners[0], corners[2], corners[3], colour);
  }
  return picture;
}
