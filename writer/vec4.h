// Operations on Vec4. Each reads 32-bit components, computes in double precision and rounds
// once to float when it stores a component, so results do not depend on the compiler's choice of
// intermediate precision (the writer is built without floating-point contraction). They are
// inline so that the normal loops see through them.
#pragma once

#include <cmath>

#include "reader/model.h"

inline double Wide(float value) {
  return static_cast<double>(value);
}
inline float Store(double value) {
  return static_cast<float>(value);
}

inline void Vec4Copy(Vec4& destination, const Vec4& source) {
  destination = source;
}

// destination += source
inline void Vec4Add(Vec4& destination, const Vec4& source) {
  destination.x = Store(Wide(destination.x) + Wide(source.x));
  destination.y = Store(Wide(destination.y) + Wide(source.y));
  destination.z = Store(Wide(destination.z) + Wide(source.z));
  destination.w = Store(Wide(destination.w) + Wide(source.w));
}

// destination = a - b
inline void Vec4Sub(Vec4& destination, const Vec4& a, const Vec4& b) {
  destination.x = Store(Wide(a.x) - Wide(b.x));
  destination.y = Store(Wide(a.y) - Wide(b.y));
  destination.z = Store(Wide(a.z) - Wide(b.z));
  destination.w = Store(Wide(a.w) - Wide(b.w));
}

// destination = a × b, w = 0
inline void Vec4Cross(Vec4& destination, const Vec4& a, const Vec4& b) {
  const double x = Wide(a.y) * Wide(b.z) - Wide(a.z) * Wide(b.y);
  const double y = Wide(a.z) * Wide(b.x) - Wide(a.x) * Wide(b.z);
  const double z = Wide(a.x) * Wide(b.y) - Wide(a.y) * Wide(b.x);
  destination = Vec4{Store(x), Store(y), Store(z), 0.0f};
}

// length = sqrt((y² + z²) + x²); x, y, z times 1 / length, or times 0 when length is 0; w = 1.
inline void Vec4Normalize(Vec4& v) {
  const double x = Wide(v.x), y = Wide(v.y), z = Wide(v.z);
  const double length = std::sqrt((y * y + z * z) + x * x);
  const double scale = length != 0.0 ? 1.0 / length : 0.0;
  v = Vec4{Store(x * scale), Store(y * scale), Store(z * scale), 1.0f};
}
