// Number conversions of MQO tokens. Both take the whole token and never fail.
//
// ParseInt: leading white space, an optional sign, decimal digits up to the first other
// character, accumulated in 32 bits with wraparound ("4294967295" is -1); no digits give 0.
// ParseReal: leading white space, an optional sign, digits with an optional ".", an optional
// exponent introduced by e, E, d or D with an optional sign; no infinity or NaN words, no
// hexadecimal. The value is the decimal number rounded to double, then to float; no number is 0.
#pragma once

#include <cstdint>
#include <string_view>

int32_t ParseInt(std::string_view text);
float ParseReal(std::string_view text);

inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// mantissa × 10^exponent when one operation gives it exactly: the mantissa fits 53 bits and the
// power of ten is exact, so the one multiplication or division is correctly rounded, and so is
// the float made of it. False when the long way must be taken.
inline bool ExactMagnitude(uint64_t mantissa, int64_t exponent, double& magnitude) {
  if (mantissa > (uint64_t{1} << 53) || exponent < -22 || exponent > 22) return false;
  const double m = static_cast<double>(mantissa);
  magnitude = exponent < 0 ? m / kExactPowersOfTen[-exponent] : m * kExactPowersOfTen[exponent];
  return true;
}
