// Integer and real conversion. A real is one correctly rounded operation on exact values when
// that gives it (ExactMagnitude), and the standard library's exact conversion otherwise.
#include "reader/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The number's parts as they stand in the token: mantissa digits around an optional point, and
// the exponent's value (clamped far beyond any double's range so it cannot overflow). The scan
// also accumulates the mantissa's value while it fits, which is all the fast path needs.
struct DecimalText {
  bool negative = false;
  std::string_view integerDigits;
  std::string_view fractionDigits;
  int64_t exponent = 0;
  uint64_t mantissa = 0;      // the digits as one integer, leading zeros dropped
  int significantDigits = 0;  // digits in `mantissa`; past 19 it is no longer exact
};

// Fills `number`; false when the token holds no digits at all. One pass over the characters.
bool ScanDecimal(std::string_view text, DecimalText& number) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end && IsSpace(*p))
    ++p;
  if (p < end && (*p == '+' || *p == '-')) number.negative = *p++ == '-';
  auto digitRun = [&](std::string_view& run) {
    const char* const start = p;
    for (; p < end && IsDigit(*p); ++p) {
      const auto digit = static_cast<uint64_t>(*p - '0');
      if (number.significantDigits == 0 && digit == 0) continue;  // leading zeros
      if (++number.significantDigits <= 19) number.mantissa = number.mantissa * 10 + digit;
    }
    run = std::string_view(start, static_cast<size_t>(p - start));
  };
  digitRun(number.integerDigits);
  if (p < end && *p == '.') {
    ++p;
    digitRun(number.fractionDigits);
  }
  if (number.integerDigits.empty() && number.fractionDigits.empty()) return false;
  if (p < end && (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D')) {
    const char* q = p + 1;
    bool negativeExponent = false;
    if (q < end && (*q == '+' || *q == '-')) negativeExponent = *q++ == '-';
    if (q < end && IsDigit(*q)) {
      int64_t e = 0;
      for (; q < end && IsDigit(*q); ++q) {
        if (e < 100000000) e = e * 10 + (*q - '0');
      }
      number.exponent = negativeExponent ? -e : e;
    }
  }
  return true;
}

double SlowDouble(const DecimalText& number) {
  // Rewrite as "digits.digitsE<exponent>", which from_chars reads exactly and in any locale.
  std::string text;
  text.reserve(number.integerDigits.size() + number.fractionDigits.size() + 16);
  text.append(number.integerDigits.empty() ? std::string_view("0") : number.integerDigits);
  text.push_back('.');
  text.append(number.fractionDigits);
  text.push_back('e');
  text.append(std::to_string(number.exponent));
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Beyond the double range: infinity above, zero below. The decimal exponent of the first
    // significant digit tells which.
    int64_t magnitude = number.exponent;
    const std::string_view all[] = {number.integerDigits, number.fractionDigits};
    int64_t position = static_cast<int64_t>(number.integerDigits.size());
    for (std::string_view part : all) {
      for (char c : part) {
        --position;
        if (c != '0') {
          magnitude += position;
          return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        }
      }
    }
    return 0.0;
  }
  return value;
}

}  // namespace

int32_t ParseInt(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && IsSpace(text[i]))
    ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint32_t value = 0;
  for (; i < n && IsDigit(text[i]); ++i)
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

float ParseReal(std::string_view text) {
  DecimalText number;
  if (!ScanDecimal(text, number)) return 0.0f;
  const int64_t exponent = number.exponent - static_cast<int64_t>(number.fractionDigits.size());
  double value = 0;
  if (number.significantDigits > 19 || !ExactMagnitude(number.mantissa, exponent, value)) {
    value = SlowDouble(number);
  }
  return static_cast<float>(number.negative ? -value : value);
}
