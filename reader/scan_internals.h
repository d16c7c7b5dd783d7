// What the tokenizer and its fast readers share: the character classes, skipping blanks and
// breaks, and reading plain decimals from 16-byte windows of the text (bit masks from SSE2
// compares where the compiler targets it, from the character table elsewhere).
//
// Internal to the reader library. Nothing here reads outside [text, text + length): functions
// that read ahead are only called kDecimalMargin bytes or more before the end.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "reader/numbers.h"
#include "reader/tokenizer.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VUV2EZ_SSE2 1
#else
#define VUV2EZ_SSE2 0
#endif

static_assert(std::endian::native == std::endian::little,
              "digits are read from words whose lowest byte comes first in the text");

namespace scan {

enum CharClass : uint8_t { kPlain = 0, kBlank, kDelimiter, kQuote, kEnd };

// Consumes the break of a word that ended at pos: the first blank after it with the blanks that
// follow, and a delimiter after those. Returns the position after it and sets `breakChar`.
// Written without branches on what follows the word, which alternates unpredictably between a
// blank and a delimiter (the numbers of "V(1 2 3)"): both are loaded, then chosen.
inline size_t SkipBreak(const Tokenizer& t, size_t pos, int32_t& breakChar) {
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  const size_t end = t.length;
  auto charAt = [&](size_t p) { return p < end ? s[p] : uint8_t{0}; };
  const uint8_t first = charAt(pos);
  const bool blank = t.classes[first] == kBlank;
  breakChar = blank ? first : 0;
  pos += blank;
  while (t.classes[charAt(pos)] == kBlank)
    ++pos;  // rarely more than one blank
  const uint8_t after = charAt(pos);
  const bool delimiter = t.classes[after] == kDelimiter;
  breakChar = delimiter ? after : breakChar;
  return pos + delimiter;
}

// Blanks at pos skipped: the position of the next token's first character.
inline size_t SkipBlanks(const Tokenizer& t, size_t pos) {
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  while (pos < t.length && t.classes[s[pos]] == kBlank)
    ++pos;
  return pos;
}

// A plain decimal is read straight from the text when enough bytes follow it that no load
// needs a bounds check (the digit scans stop after 24 digits, the copy takes 32 bytes).
inline constexpr size_t kDecimalMargin = 72;

inline constexpr uint64_t kPowersOfTen[] = {1,      10,      100,      1000,     10000,
                                            100000, 1000000, 10000000, 100000000};

// The value of the `count` (0 to 8) decimal digits at p, as one integer; p must have 8 readable
// bytes. The digits' values, the first in the lowest byte, are moved up so that the bytes after
// them fall off the top (in two shifts, as a count of none moves all 64 bits): an 8-digit number
// with leading zeros. Neighbouring digits are then merged into pairs (0-99, in bytes 0, 2, 4 and
// 6), and two multiplications weigh the four pairs by 10^6, 10^4, 100 and 1 into the top half,
// where no product reaches beyond the lane it belongs to. No branch depends on the count.
inline uint64_t DigitsValue(const char* p, size_t count) {
  uint64_t chunk;
  std::memcpy(&chunk, p, 8);
  const auto shift = static_cast<unsigned>(4 * (8 - count));
  uint64_t v = ((chunk - 0x3030303030303030ull) << shift) << shift;
  v = v * 10 + (v >> 8);
  constexpr uint64_t kPairs = 0x000000FF000000FFull;
  constexpr uint64_t kFirstWeights = 100 + (1000000ull << 32);
  constexpr uint64_t kSecondWeights = 1 + (10000ull << 32);
  return ((v & kPairs) * kFirstWeights + ((v >> 16) & kPairs) * kSecondWeights) >> 32;
}

// Reads the run of decimal digits at p, 8 bytes at a time, into `mantissa` (which wraps beyond
// 19 digits; the caller counts). p must have 8 readable bytes after every digit of the run.
// Returns the number of digits; p is left on the first byte that is not one.
inline size_t ScanDigits(const char*& p, uint64_t& mantissa) {
  constexpr uint64_t kZeros = 0x3030303030303030ull, kHigh = 0xF0F0F0F0F0F0F0F0ull;
  size_t total = 0;
  for (;;) {
    uint64_t chunk;
    std::memcpy(&chunk, p, 8);
    // A byte is a digit when its high nibble is 3 both as it is and after adding 6 (0x30-0x39).
    // Carries from the addition only run from a non-digit byte into later ones, which do not
    // count: only the digits before the first non-digit are taken.
    const uint64_t notDigits =
        ((chunk & kHigh) ^ kZeros) | (((chunk + 0x0606060606060606ull) & kHigh) ^ kZeros);
    const size_t count = notDigits == 0 ? 8 : static_cast<size_t>(std::countr_zero(notDigits)) / 8;
    mantissa = mantissa * kPowersOfTen[count] + DigitsValue(p, count);
    p += count;
    total += count;
    if (count < 8 || total > 19) return total;  // a longer run is no plain decimal anyway
  }
}

// What the 16 bytes from a token's start are, one bit per byte (bit i for byte i). A number is
// read from these masks: where the word ends and where its point is come from bit operations on
// one load instead of a chain of loads, one per byte.
struct WindowMasks {
  uint32_t numeric;  // digits and points
  uint32_t points;
  uint32_t spaces;
  uint32_t leads;  // what a plain decimal starts with: digits, points and signs
};

inline WindowMasks MasksFromTable(const Tokenizer& t, const char* p) {
  WindowMasks m{0, 0, 0, 0};
  for (uint32_t i = 0; i < 16; ++i) {
    const auto c = static_cast<unsigned char>(p[i]);
    const bool plain = t.classes[c] == kPlain;
    const uint32_t bit = 1u << i;
    const bool digit = c >= '0' && c <= '9';
    if (plain && (digit || c == '.')) m.numeric |= bit;
    if (plain && c == '.') m.points |= bit;
    if (c == ' ' && t.classes[c] == kBlank) m.spaces |= bit;
    if (plain && (digit || c == '.' || c == '-' || c == '+')) m.leads |= bit;
  }
  return m;
}

#if VUV2EZ_SSE2
// The same masks from a few compares of all sixteen bytes at once, for the standard sets.
inline WindowMasks MasksFromVector(const char* p) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  auto is = [v](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
  auto bits = [](__m128i m) { return static_cast<uint32_t>(_mm_movemask_epi8(m)); };
  // Signed compares: bytes from 0x80 up are negative, so never digits.
  const __m128i digits = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('0' - 1)),
                                       _mm_cmplt_epi8(v, _mm_set1_epi8('9' + 1)));
  const __m128i points = is('.');
  const __m128i numeric = _mm_or_si128(digits, points);
  return WindowMasks{bits(numeric), bits(points), bits(is(' ')),
                     bits(_mm_or_si128(numeric, _mm_or_si128(is('-'), is('+'))))};
}
#endif

template <bool vector>
inline WindowMasks MasksOf(const Tokenizer& t, const char* p) {
#if VUV2EZ_SSE2
  if constexpr (vector) return MasksFromVector(p);
#endif
  return MasksFromTable(t, p);
}

// The word at pos, when it is a plain decimal standing kDecimalMargin bytes or more before the
// end of the text: its digits in `decimal` and its length in `n`. False for anything else. The
// digits are read 8 at a time, so this takes any length; ReadShortDecimal is quicker for most.
// With `integerOnly`, a word with a point is no plain decimal (a reader of integers would not
// convert it the fast way anyway), and no fraction is scanned.
template <bool integerOnly = false>
inline bool ScanPlainDecimal(const Tokenizer& t, size_t pos, PlainDecimal& decimal, size_t& n) {
  if (t.bufferSize != 64 || t.length - pos < kDecimalMargin) return false;
  const char* const start = t.text + pos;
  const char* p = start;
  const bool negative = *p == '-';
  p += *p == '-' || *p == '+';
  uint64_t mantissa = 0;
  size_t digits = ScanDigits(p, mantissa);
  bool point = false;
  size_t fraction = 0;
  if constexpr (!integerOnly) {
    point = *p == '.';
    p += point;
    fraction = ScanDigits(p, mantissa);
    digits += fraction;
  }
  if (digits == 0 || digits > 19 || t.classes[static_cast<unsigned char>(*p)] == kPlain) {
    return false;
  }
  n = static_cast<size_t>(p - start);  // at most 21
  decimal = PlainDecimal{mantissa, static_cast<uint32_t>(fraction), negative, point};
  return true;
}

// Makes the plain decimal of n characters at `start` the current token. Signs, digits and the
// point fold to themselves; the 32 bytes copied lie within the margin.
inline void TakeDecimalWord(Token& token, Tokenizer& t, size_t start, size_t n) {
  std::memcpy(token.word, t.text + start, 32);
  token.word[n] = '\0';
  token.view = std::string_view(token.word, n);
  t.quoted = 0;
}

// The value of a plain decimal of at most 8 digits in all, as one integer: the integer digits
// (`integerDigits` of them at p) then the fraction's (after the point, when there is one).
inline uint64_t ShortMantissa(const char* p, uint32_t integerDigits, uint32_t digits) {
  // Both parts in one word: the integer digits, then the fraction's moved down over the point.
  uint64_t integerPart, fractionPart;
  std::memcpy(&integerPart, p, 8);
  std::memcpy(&fractionPart, p + integerDigits + 1, 8);
  const auto shift = 4 * integerDigits;  // twice, as a shift by 64 bits is undefined
  const uint64_t kept = ~((~uint64_t{0} << shift) << shift);
  const uint64_t joined = (integerPart & kept) | ((fractionPart << shift) << shift);
  char bytes[8];
  std::memcpy(bytes, &joined, 8);
  return DigitsValue(bytes, digits);
}

// Most numbers of a model are short: a sign, at most 8 digits and a point, ended inside the
// window. Reads the word at p (with kDecimalMargin bytes after it) when it is such a number, in
// one straight pass with no branch but the one that tells it from the rest: its value goes to
// `value` and its length is returned, else 0. `next` is set to the offset from p of the token
// after it (past its break and the blanks before that token) when that is plainly one space on,
// else to 0.
template <typename Value, bool (*Convert)(const PlainDecimal&, Value&), bool integerOnly,
          bool vector>
inline uint32_t ReadShortDecimal(const Tokenizer& t, const char* p, Value& value, size_t& next) {
  const WindowMasks m = MasksOf<vector>(t, p);
  const uint32_t sign = m.leads & ~m.numeric & 1;  // what leads a number and is no digit
  const auto end =
      static_cast<uint32_t>(std::countr_zero((((~m.numeric) & 0xFFFFu) | 0x10000u) & ~sign));
  const uint32_t points = m.points & ((1u << end) - 1);
  const uint32_t hasPoint = points != 0 ? 1 : 0;
  const uint32_t point = hasPoint != 0 ? static_cast<uint32_t>(std::countr_zero(points)) : end;
  const uint32_t digits = end - sign - hasPoint;
  // Not short: two points, no digit or more than 8, no end in the window, a point in an integer.
  const uint32_t unusual =
      (points & (points - 1)) | ((digits - 1) >> 3) | (end >> 4) | (integerOnly ? hasPoint : 0);
  if (unusual != 0 || t.classes[static_cast<unsigned char>(p[end])] == kPlain) return 0;
  const uint64_t mantissa =
      integerOnly ? DigitsValue(p + sign, digits) : ShortMantissa(p + sign, point - sign, digits);
  const uint32_t fractionDigits = end - point - hasPoint;
  Convert(PlainDecimal{mantissa, fractionDigits, p[0] == '-', hasPoint != 0}, value);  // exact
  // Numbers in a run are mostly one space apart: a space and then what starts a number is the
  // whole break, and no blanks lead the next token.
  const uint32_t gaps = m.spaces & (m.leads >> 1);  // a space, then what starts a number
  next = ((gaps >> end) & 1) != 0 ? end + 1 : 0;
  return end;
}

// Makes the plain decimal of n characters at `start` the current token, as NextTokenDecimal
// leaves it: with its break consumed.
inline void EndOnDecimal(Token& token, Tokenizer& t, size_t start, size_t n) {
  TakeDecimalWord(token, t, start, n);
  int32_t breakChar = 0;
  t.position = SkipBreak(t, start + n, breakChar);
  t.breakChar = breakChar;
}

}  // namespace scan
