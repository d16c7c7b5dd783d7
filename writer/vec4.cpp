// Vec4 arithmetic in double precision with one rounding per stored component.
#include "writer/vec4.h"

#include <cmath>

namespace {
float Store(double value) {
  return static_cast<float>(value);
}
double Wide(float value) {
  return static_cast<double>(value);
}
}  // namespace

void Vec4Copy(Vec4& destination, const Vec4& source) {
  destination = source;
}

void Vec4Add(Vec4& destination, const Vec4& source) {
  destination.x = Store(Wide(destination.x) + Wide(source.x));
  destination.y = Store(Wide(destination.y) + Wide(source.y));
  destination.z = Store(Wide(destination.z) + Wide(source.z));
  destination.w = Store(Wide(destination.w) + Wide(source.w));
}

void Vec4Sub(Vec4& destination, const Vec4& a, const Vec4& b) {
  destination.x = Store(Wide(a.x) - Wide(b.x));
  destination.y = Store(Wide(a.y) - Wide(b.y));
  destination.z = Store(Wide(a.z) - Wide(b.z));
  destination.w = Store(Wide(a.w) - Wide(b.w));
}

void Vec4Cross(Vec4& destination, const Vec4& a, const Vec4& b) {
  const double x = Wide(a.y) * Wide(b.z) - Wide(a.z) * Wide(b.y);
  const double y = Wide(a.z) * Wide(b.x) - Wide(a.x) * Wide(b.z);
  const double z = Wide(a.x) * Wide(b.y) - Wide(a.y) * Wide(b.x);
  destination = Vec4{Store(x), Store(y), Store(z), 0.0f};
}

void Vec4Normalize(Vec4& v) {
  const double x = Wide(v.x), y = Wide(v.y), z = Wide(v.z);
  const double length = std::sqrt((y * y + z * z) + x * x);
  const double scale = length != 0.0 ? 1.0 / length : 0.0;
  v = Vec4{Store(x * scale), Store(y * scale), Store(z * scale), 1.0f};
}
