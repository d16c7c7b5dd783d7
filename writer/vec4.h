// Operations on Vec4. Each reads 32-bit components, computes in double precision and rounds
// once to float when it stores a component, so results do not depend on the compiler's choice of
// intermediate precision (the writer is built without floating-point contraction).
#pragma once

#include "reader/model.h"

void Vec4Copy(Vec4& destination, const Vec4& source);
void Vec4Add(Vec4& destination, const Vec4& source);              // destination += source
void Vec4Sub(Vec4& destination, const Vec4& a, const Vec4& b);    // destination = a - b
void Vec4Cross(Vec4& destination, const Vec4& a, const Vec4& b);  // w = 0
// length = sqrt((y² + z²) + x²); x, y, z times 1 / length, or times 0 when length is 0; w = 1.
void Vec4Normalize(Vec4& v);
