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

#include "reader/tokenizer.h"

int32_t ParseInt(std::string_view text);
float ParseReal(std::string_view text);

// The same conversions of a token the tokenizer has already read as a plain decimal (see
// NextTokenDecimal); false when the fast way cannot give the exact value, and ParseInt or
// ParseReal must be used.
bool IntFromDecimal(const PlainDecimal& decimal, int32_t& value);
bool RealFromDecimal(const PlainDecimal& decimal, float& value);
