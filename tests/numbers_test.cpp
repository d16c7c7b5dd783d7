// Number conversions: listed cases, and reals against the plain conversion (decimal text to
// double by strtod, then to float) over many random and edge-case tokens.
#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "reader/numbers.h"
#include "tests/support/test_support.h"

namespace {

// The numbers read from exact-size copies, as the reader reads a token at the end of its text.
int32_t IntOf(std::string_view text) {
  return ParseInt({ExactCopy(text).get(), text.size()});
}
float RealOf(std::string_view text) {
  return ParseReal({ExactCopy(text).get(), text.size()});
}

TEST(ParseInt, ListedCases) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {
      {"42", 42},
      {"-7", -7},
      {"+15", 15},
      {" \t\n\v\f\r9", 9},
      {"12abc", 12},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"2147483647", 2147483647},
      {"2147483648", INT32_MIN},
      {"4294967297", 1},
      {"-4294967295", 1},
      {"99999999999", 1215752191},
      {"1e5", 1},
      {"--1", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IntOf(c.text), c.value) << c.text;
}

uint32_t Bits(float value) {
  return std::bit_cast<uint32_t>(value);
}

TEST(ParseReal, ListedCases) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    const char* text;
    float value;
  } cases[] = {
      {"1.5", 1.5f},
      {" \t\r\n\v\f0.5", 0.5f},
      {".5", 0.5f},
      {"1E+3", 1000.0f},
      {"1D-3", 0.001f},
      {"2.5e", 2.5f},
      {"2.5e+", 2.5f},
      {"2.5ex", 2.5f},
      {"2e1x", 20.0f},
      {"1.000)", 1.0f},
      {"-0.0e7", -0.0f},
      {".", 0.0f},
      {"e5", 0.0f},
      {"inf", 0.0f},
      {"nan", 0.0f},
      {"0x1p3", 0.0f},
      {"-1e400", -inf},
      {"-1e-400", -0.0f},
      {"1e99999999999999999999", inf},
      {"0e99999999999999999999", 0.0f},
      {"3.4028235e38", 3.4028235e38f},
      {"1.4e-45", 1.4e-45f},
      {"900719972450303.9", 900719938895872.0f},  // a mantissa past 2^53: no exact division
  };
  for (const auto& c : cases)
    EXPECT_EQ(Bits(RealOf(c.text)), Bits(c.value)) << c.text;
}

// The plain conversion of a token in the accepted form: exponent letter d/D read as e.
float PlainConversion(std::string token) {
  for (char& c : token) {
    if (c == 'd' || c == 'D') c = 'e';
  }
  // No number at all gives 0 (some C libraries give -0 for "-.").
  char* end = nullptr;
  const double value = std::strtod(token.c_str(), &end);
  return end == token.c_str() ? 0.0f : static_cast<float>(value);
}

TEST(ParseReal, MatchesPlainConversionOnRandomTokens) {
  std::setlocale(LC_NUMERIC, "C");
  std::mt19937_64 random(6);
  auto digits = [&](uint64_t count) {
    std::string s;
    for (uint64_t i = 0; i < count; ++i)
      s += static_cast<char>('0' + random() % 10);
    return s;
  };
  const char* exponentLetters = "eEdD";
  for (int round = 0; round < 300000; ++round) {
    std::string token;
    const unsigned sign = random() % 3;
    if (sign == 1) token += '-';
    if (sign == 2) token += '+';
    const int shape = static_cast<int>(random() % 6);
    if (shape == 0) {
      // What modellers write: a few digits, four to six decimals.
      token += digits(1 + random() % 4) + "." + digits(4 + random() % 3);
    } else if (shape == 1) {
      // Long mantissas that leave the fast path.
      token += digits(1 + random() % 25) + "." + digits(random() % 25);
    } else if (shape == 2) {
      token += digits(1 + random() % 8) + exponentLetters[random() % 4] +
               (random() % 2 ? "-" : "") + digits(1 + random() % 2);
    } else if (shape == 3) {
      // Halfway and near-halfway floats, written exactly: the double rounding must match.
      const float f = std::bit_cast<float>(static_cast<uint32_t>(random() % 0x7F000000u));
      const double next = std::nextafter(static_cast<double>(f), 1e300);
      char text[64];
      std::snprintf(text, sizeof text, "%.17g", (static_cast<double>(f) + next) / 2);
      token += text;
    } else if (shape == 4) {
      token += "0." + std::string(random() % 30, '0') + digits(1 + random() % 17) + "e" +
               std::to_string(static_cast<int>(random() % 700) - 350);
    } else {
      token += digits(random() % 3) + "." + digits(random() % 3);
    }
    ASSERT_EQ(Bits(RealOf(token)), Bits(PlainConversion(token))) << token;
  }
}

}  // namespace
