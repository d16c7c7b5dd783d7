// The six views and the fit of a model's finite positions into the picture.
#include "tools/qzdump/picture_frame.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct ViewAxes {
  const char* name;
  PictureView view;
  double right[3], up[3], toward[3];
};

const double kHalf = 1.0 / std::sqrt(2.0);
const double kThird = 1.0 / std::sqrt(3.0);
const double kSixth = 1.0 / std::sqrt(6.0);

// Each row is a right-handed frame: right × up = toward.
const ViewAxes kViews[] = {
    {"front", PictureView::kFront, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {"back", PictureView::kBack, {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}},
    {"left", PictureView::kLeft, {0, 0, 1}, {0, 1, 0}, {-1, 0, 0}},
    {"right", PictureView::kRight, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
    {"top", PictureView::kTop, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
    {"iso",
     PictureView::kIso,
     {kHalf, 0, -kHalf},
     {-kSixth, 2 * kSixth, -kSixth},
     {kThird, kThird, kThird}},
};

double Dot(const double axis[3], const Vec4& p) {
  return axis[0] * static_cast<double>(p.x) + axis[1] * static_cast<double>(p.y) +
         axis[2] * static_cast<double>(p.z);
}

}  // namespace

bool ParsePictureView(const char* name, PictureView& view) {
  for (const ViewAxes& axes : kViews) {
    if (std::strcmp(axes.name, name) == 0) {
      view = axes.view;
      return true;
    }
  }
  return false;
}

bool ParsePictureSize(const char* text, int& size) {
  int value = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || value > kLargestPicture) return false;
    value = 10 * value + (*c - '0');
  }
  if (*text == '\0' || value < kSmallestPicture || value > kLargestPicture) return false;
  size = value;
  return true;
}

bool RecordIsFinite(const QzFaceRecord& record) {
  for (const Vec4& p : record.positions) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
  }
  return true;
}

PictureFrame FitPicture(const QzFile& file, PictureView view, int size) {
  PictureFrame frame{};
  for (const ViewAxes& axes : kViews) {
    if (axes.view != view) continue;
    std::copy(axes.right, axes.right + 3, frame.right);
    std::copy(axes.up, axes.up + 3, frame.up);
    std::copy(axes.toward, axes.toward + 3, frame.toward);
  }
  frame.size = size;
  const double* axes[3] = {frame.right, frame.up, frame.toward};
  double low[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, high[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  for (const QzFaceRecord& record : file.faces) {
    if (!RecordIsFinite(record)) continue;
    for (const Vec4& p : record.positions) {
      for (int a = 0; a < 3; ++a) {
        const double v = Dot(axes[a], p);
        low[a] = std::min(low[a], v);
        high[a] = std::max(high[a], v);
      }
    }
  }
  if (low[0] > high[0]) return frame;  // nothing to draw: the scale stays 0
  for (int a = 0; a < 3; ++a)
    frame.middle[a] = (low[a] + high[a]) / 2;
  const double extent = std::max(high[0] - low[0], high[1] - low[1]);
  const double room = size - size / 10.0;
  frame.scale = extent > 0 ? room / extent : 1.0;
  return frame;
}

ScreenPoint Project(const PictureFrame& frame, const Vec4& position) {
  const double half = frame.size / 2.0;
  return {half + (Dot(frame.right, position) - frame.middle[0]) * frame.scale,
          half - (Dot(frame.up, position) - frame.middle[1]) * frame.scale,
          (Dot(frame.toward, position) - frame.middle[2]) * frame.scale};
}
