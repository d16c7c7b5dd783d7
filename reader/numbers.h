// Number conversions of MQO tokens. Both take the whole token and never fail.
//
// ParseInt: leading white space, an optional sign, decimal digits up to the first other
// character, accumulated in 32 bits with wraparound ("4294967295" is -1); no digits give 0.
// ParseReal: leading white space, an optional sign, digits with an optional ".", an optional
// exponent introduced by e, E, d or D with an optional sign; no infinity or NaN words, no
// hexadecimal. The value is the decimal number rounded to double, then to float; no number is 0.
#pragma once

#include <bit>
#include <cstdint>
#include <string_view>

#include "reader/tokenizer.h"

int32_t ParseInt(std::string_view text);
float ParseReal(std::string_view text);

// Powers of ten that a double holds exactly.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The same conversions of a token the tokenizer has already read as a plain decimal (see
// NextTokenDecimal); false when the fast way cannot give the exact value, and ParseInt or
// ParseReal must be used. Inline: they run once for every number of a model.
inline bool IntFromDecimal(const PlainDecimal& decimal, int32_t& value) {
  if (decimal.hasPoint) return false;
  // At most 19 digits: the mantissa is exact, and its low 32 bits are the wrapped value.
  const auto low = static_cast<uint32_t>(decimal.mantissa);
  value = static_cast<int32_t>(decimal.negative ? 0u - low : low);
  return true;
}

// Exact when the mantissa fits 53 bits and the power of ten is exact: the one division is then
// correctly rounded, so the double is the exact conversion's, and so is the float.
inline bool RealFromDecimal(const PlainDecimal& decimal, float& value) {
  if (decimal.fractionDigits > 22 || decimal.mantissa > (uint64_t{1} << 53)) return false;
  const double magnitude =
      static_cast<double>(decimal.mantissa) / kExactPowersOfTen[decimal.fractionDigits];
  // Rounding is symmetric, so the sign is set on the float, without a branch: signs in a model
  // come in no order a predictor could learn.
  const auto sign = static_cast<uint32_t>(decimal.negative) << 31;
  value = std::bit_cast<float>(std::bit_cast<uint32_t>(static_cast<float>(magnitude)) | sign);
  return true;
}
