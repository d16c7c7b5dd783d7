// The tokenizer's scanning loops. Each character is classified through a 256-entry table, and a
// word is copied (folded) in one tight loop, since this runs once for every byte of a model.
#include "reader/tokenizer.h"

#include "reader/numbers.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VUV2EZ_SSE2 1
#else
#define VUV2EZ_SSE2 0
#endif

namespace {

enum CharClass : uint8_t { kPlain = 0, kBlank, kDelimiter, kQuote, kEnd };

void MarkSet(uint8_t* classes, const char* set, CharClass kind) {
  for (const char* c = set; c != nullptr && *c != '\0'; ++c) {
    classes[static_cast<unsigned char>(*c)] = kind;
  }
}

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

// Ends a word of n characters whose scan stopped at pos: terminates it and, unless the word was
// cut at `limit`, consumes its break.
void FinishWord(Token& token, Tokenizer& t, size_t pos, size_t n, size_t limit) {
  token.word[n] = '\0';
  token.view = std::string_view(token.word, n);
  if (n < limit) {
    int32_t breakChar = 0;
    pos = SkipBreak(t, pos, breakChar);
    t.breakChar = breakChar;
  }
  t.position = pos;
}

constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

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

WindowMasks MasksFromTable(const Tokenizer& t, const char* p) {
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

inline WindowMasks Masks(const Tokenizer& t, const char* p) {
#if VUV2EZ_SSE2
  if (t.standardClasses) return MasksFromVector(p);
#endif
  return MasksFromTable(t, p);
}

}  // namespace

void AimTokenizer(Tokenizer& tokenizer, const char* text, size_t length) {
  tokenizer.text = text;
  tokenizer.length = length;
  tokenizer.position = 0;
  tokenizer.quoted = 0;
  tokenizer.breakChar = 0;
  std::fill(std::begin(tokenizer.classes), std::end(tokenizer.classes), kPlain);
  MarkSet(tokenizer.classes, tokenizer.blanks, kBlank);
  MarkSet(tokenizer.classes, tokenizer.delimiters, kDelimiter);
  MarkSet(tokenizer.classes, tokenizer.quotes, kQuote);
  tokenizer.classes[0] = kEnd;
  for (int c = 0; c < 256; ++c) {
    int f = c;
    if (tokenizer.caseMode == kFoldLower && c >= 'A' && c <= 'Z') f = c - 'A' + 'a';
    if (tokenizer.caseMode == kFoldUpper && c >= 'a' && c <= 'z') f = c - 'a' + 'A';
    tokenizer.folded[c] = static_cast<uint8_t>(f);
  }
  uint8_t standard[256] = {};
  MarkSet(standard, " \r\t", kBlank);
  MarkSet(standard, ";,\n()", kDelimiter);
  MarkSet(standard, "'\"", kQuote);
  standard[0] = kEnd;
  tokenizer.standardClasses =
      std::equal(std::begin(standard), std::end(standard), tokenizer.classes);
}

bool NextToken(Token& token, Tokenizer& t) {
  t.quoted = 0;
  t.breakChar = 0;
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  const uint8_t* const classes = t.classes;
  const size_t end = t.length;
  size_t pos = t.position;
  // Past the end reads as the terminating zero, whose class is kEnd.
  auto classAt = [&](size_t p) { return p < end ? classes[s[p]] : uint8_t{kEnd}; };

  // Leading blanks; blanks running into the end give one empty token.
  uint8_t first = classAt(pos);
  if (first == kEnd) return false;
  while (first == kBlank)
    first = classAt(++pos);
  if (first == kEnd || first == kDelimiter) {
    if (first == kDelimiter) t.breakChar = s[pos++];
    token.word[0] = '\0';
    token.view = std::string_view(token.word, 0);
    t.position = pos;
    return true;
  }

  if (first == kQuote) {
    // A quoted token holds everything up to its closing quote, whatever its length.
    const unsigned char closing = s[pos++];
    const size_t start = pos;
    while (pos < end && s[pos] != closing && s[pos] != '\0')
      ++pos;
    token.view = std::string_view(t.text + start, pos - start);
    t.quoted = 1;
    if (pos < end && s[pos] == closing) {
      t.breakChar = closing;
      ++pos;
    }
    t.position = pos;
    return true;
  }

  // A word: plain characters, folded, cut at bufferSize - 1.
  const size_t limit = static_cast<size_t>(std::clamp(t.bufferSize, 1, 64) - 1);
  const size_t stop = std::min(end, pos + limit);
  const uint8_t* const folded = t.folded;
  char* const word = token.word;
  const size_t start = pos;
  while (pos < stop && classes[s[pos]] == kPlain) {
    word[pos - start] = static_cast<char>(folded[s[pos]]);
    ++pos;
  }
  FinishWord(token, t, pos, pos - start, limit);
  return true;
}

namespace {

// Blanks at pos skipped: the position of the next token's first character.
inline size_t SkipBlanks(const Tokenizer& t, size_t pos) {
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  while (pos < t.length && t.classes[s[pos]] == kBlank)
    ++pos;
  return pos;
}

// A plain decimal is read straight from the text when enough bytes follow it that no load
// needs a bounds check (the digit scans stop after 24 digits, the copy takes 32 bytes).
constexpr size_t kDecimalMargin = 72;

// The word at pos, when it is a plain decimal of more than 8 digits on either side of its point:
// its digits in `decimal` and its length in `n`. False for anything else.
template <bool integerOnly>
bool ScanLongDecimal(const Tokenizer& t, size_t pos, PlainDecimal& decimal, size_t& n) {
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

// The word at pos, when it is a plain decimal standing kDecimalMargin bytes or more before the
// end of the text: its digits in `decimal` and its length in `n`. False for anything else.
// `next` is set to the offset from pos of the token after it (past its break and the blanks
// before that token) when that is plainly one space on, else to 0.
// With `integerOnly`, a word with a point is no plain decimal (a reader of integers would not
// convert it the fast way anyway).
template <bool integerOnly = false>
inline bool ScanPlainDecimal(const Tokenizer& t, size_t pos, PlainDecimal& decimal, size_t& n,
                             size_t& next) {
  next = 0;
  if (t.bufferSize != 64 || t.length - pos < kDecimalMargin) return false;
  const char* const start = t.text + pos;
  const WindowMasks m = Masks(t, start);
  const bool negative = start[0] == '-';
  const uint32_t sign = start[0] == '-' || start[0] == '+' ? 1 : 0;
  // The word's digits and points end at the first other byte (a sign aside); none in the window
  // means a long word.
  const uint32_t stops = ((~m.numeric & 0xFFFFu) | 0x10000u) & ~sign;
  const auto end = static_cast<uint32_t>(std::countr_zero(stops));
  if (end == 16) return ScanLongDecimal<integerOnly>(t, pos, decimal, n);
  const uint32_t points = m.points & ((1u << end) - 1);
  if (integerOnly ? points != 0 : (points & (points - 1)) != 0) return false;
  const auto integerEnd = points != 0 ? static_cast<uint32_t>(std::countr_zero(points)) : end;
  const uint32_t integerDigits = integerEnd - sign;
  const uint32_t fractionDigits = points != 0 ? end - integerEnd - 1 : 0;
  if (integerDigits + fractionDigits == 0) return false;
  if (t.classes[static_cast<unsigned char>(start[end])] == kPlain) return false;  // a longer word
  if (integerDigits > 8 || fractionDigits > 8) {
    return ScanLongDecimal<integerOnly>(t, pos, decimal, n);
  }
  uint64_t mantissa;
  if (integerDigits + fractionDigits <= 8) {
    // Both parts in one word: the integer digits, then the fraction's moved down over the point.
    uint64_t integerPart, fractionPart;
    std::memcpy(&integerPart, start + sign, 8);
    std::memcpy(&fractionPart, start + integerEnd + 1, 8);
    const auto shift = 4 * integerDigits;  // twice, as a shift by 64 bits is undefined
    const uint64_t kept = ~((~uint64_t{0} << shift) << shift);
    const uint64_t joined = (integerPart & kept) | ((fractionPart << shift) << shift);
    char digits[8];
    std::memcpy(digits, &joined, 8);
    mantissa = DigitsValue(digits, integerDigits + fractionDigits);
  } else {
    mantissa = DigitsValue(start + sign, integerDigits) * kPowersOfTen[fractionDigits] +
               DigitsValue(start + integerEnd + 1, fractionDigits);
  }
  decimal = PlainDecimal{mantissa, fractionDigits, negative, points != 0};
  n = end;
  // Numbers in a run are mostly one space apart: a space and then what starts a number is the
  // whole break, and no blanks lead the next token.
  next = ((m.spaces >> end) & (m.leads >> (end + 1)) & 1) != 0 ? end + 1 : 0;
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
// `value` and its length is returned, else 0. `next` is set as ScanPlainDecimal sets it.
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

// Reads up to `count` tokens as as many NextTokenDecimal calls would, while each is a plain
// decimal that Convert turns into a value exactly; stops before the first that is not. Only the
// last token read needs to be kept, and only its break: the ones before would be overwritten.
template <typename Value, bool (*Convert)(const PlainDecimal&, Value&), bool integerOnly,
          bool vector>
size_t NextDecimalRun(Token& token, Tokenizer& t, Value* values, size_t count) {
  size_t start = SkipBlanks(t, t.position);
  size_t read = 0, lastStart = 0, lastLength = 0;
  const bool windows = t.bufferSize == 64;
  for (; read < count; ++read) {
    size_t n = 0, next = 0;
    if (windows && t.length - start >= kDecimalMargin) {
      n = ReadShortDecimal<Value, Convert, integerOnly, vector>(t, t.text + start, values[read],
                                                                next);
    }
    if (n == 0) {
      PlainDecimal decimal;
      if (!ScanPlainDecimal<integerOnly>(t, start, decimal, n, next) ||
          !Convert(decimal, values[read])) {
        break;
      }
    }
    lastStart = start;
    lastLength = n;
    if (next != 0) {
      start += next;
    } else {
      int32_t ignored = 0;
      start = SkipBlanks(t, SkipBreak(t, start + n, ignored));
    }
  }
  if (read > 0) EndOnDecimal(token, t, lastStart, lastLength);
  return read;
}

// The numbers of a usual face line, from just after its "V(": short numbers one space apart,
// with ") M(" after the corners and ") UV(" after the material, exactly so. Reads as many whole
// parts (corners, material, texture coordinates) as it can; a part it cannot read whole is left
// as it is, and the tokenizer ends where the part before it ended.
template <bool vector>
int ReadUsualFaceNumbers(Token& token, Tokenizer& t, const UsualFace& face) {
  if (t.bufferSize != 64) return 0;
  const char* const text = t.text;
  size_t pos = t.position, lastStart = 0, lastLength = 0;
  int parts = 0;
  // One part: `count` numbers, then `after` (none after the last part).
  auto readPart = [&]<typename Value, bool (*Convert)(const PlainDecimal&, Value&), bool integers>(
                      Value* values, size_t count, std::string_view after) {
    size_t start = pos, length = 0;
    for (size_t k = 0; k < count; ++k) {
      if (t.length - start < kDecimalMargin) return false;
      size_t next = 0;
      length = ReadShortDecimal<Value, Convert, integers, vector>(t, text + start, values[k], next);
      if (length == 0) return false;
      if (k + 1 < count) {
        if (next == 0) return false;
        start += next;
      }
    }
    if (!after.empty() && std::memcmp(text + start + length, after.data(), after.size()) != 0) {
      return false;
    }
    lastStart = start;
    lastLength = length;
    pos = start + length + after.size();
    ++parts;
    return true;
  };
  int32_t material = 0;
  if (readPart.template operator()<int32_t, IntFromDecimal, true>(face.corners, face.count,
                                                                  ") M(") &&
      readPart.template operator()<int32_t, IntFromDecimal, true>(&material, 1, ") UV(")) {
    *face.material = material;
    readPart.template operator()<float, RealFromDecimal, false>(face.uvs, 2 * face.count, "");
  }
  if (parts > 0) EndOnDecimal(token, t, lastStart, lastLength);
  return parts;
}

template <typename Value, bool (*Convert)(const PlainDecimal&, Value&), bool integerOnly>
size_t NextDecimalRunOf(Token& token, Tokenizer& t, Value* values, size_t count) {
#if VUV2EZ_SSE2
  if (t.standardClasses) {
    return NextDecimalRun<Value, Convert, integerOnly, true>(token, t, values, count);
  }
#endif
  return NextDecimalRun<Value, Convert, integerOnly, false>(token, t, values, count);
}

}  // namespace

bool NextTokenDecimal(Token& token, Tokenizer& t, PlainDecimal& decimal, bool& isDecimal) {
  isDecimal = false;
  const size_t start = SkipBlanks(t, t.position);
  size_t n = 0, next = 0;
  // Anything but a plain decimal, including a word that turns out not to be one, is read the
  // general way from where this call began.
  if (!ScanPlainDecimal(t, start, decimal, n, next)) return NextToken(token, t);
  TakeDecimalWord(token, t, start, n);
  int32_t breakChar = 0;
  t.position = SkipBreak(t, start + n, breakChar);
  t.breakChar = breakChar;
  isDecimal = true;
  return true;
}

size_t NextIntRun(Token& token, Tokenizer& tokenizer, int32_t* values, size_t count) {
  return NextDecimalRunOf<int32_t, IntFromDecimal, true>(token, tokenizer, values, count);
}

int ReadUsualFaceNumbers(Token& token, Tokenizer& tokenizer, const UsualFace& face) {
#if VUV2EZ_SSE2
  if (tokenizer.standardClasses) return ReadUsualFaceNumbers<true>(token, tokenizer, face);
#endif
  return ReadUsualFaceNumbers<false>(token, tokenizer, face);
}

size_t NextRealRun(Token& token, Tokenizer& tokenizer, float* values, size_t count) {
  return NextDecimalRunOf<float, RealFromDecimal, false>(token, tokenizer, values, count);
}

namespace {

// Longer runs of blanks than half the look-ahead margin are left to the general reading.
constexpr size_t kLineMargin = kLookAheadMargin;

inline bool ReadyForLookAhead(const Tokenizer& t, size_t pos) {
  return t.standardClasses && t.bufferSize == 64 && pos <= t.length &&
         t.length - pos >= kLineMargin;
}

// Blanks from pos skipped, at most up to `stop`.
inline size_t SkipBlanksBefore(const Tokenizer& t, size_t pos, size_t stop) {
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  while (pos < stop && t.classes[s[pos]] == kBlank)
    ++pos;
  return pos;
}

}  // namespace

size_t MatchKeywordParenSlowly(const Tokenizer& t, size_t pos, std::string_view usual) {
  // The keyword is what `usual` holds between its space and its "(".
  if (!ReadyForLookAhead(t, pos) || usual.size() < 3 || usual.size() > 10) return 0;
  const std::string_view keyword = usual.substr(1, usual.size() - 2);
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  pos = SkipBlanksBefore(t, pos, pos + kLineMargin / 2);
  for (const char c : keyword) {
    const auto wanted = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (t.folded[s[pos]] != wanted || t.classes[s[pos]] != kPlain) return 0;
    ++pos;
  }
  return s[pos] == '(' ? pos + 1 : 0;
}

size_t MatchLineCount(const Tokenizer& t, size_t pos, uint32_t& count) {
  if (!ReadyForLookAhead(t, pos)) return 0;
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  const size_t stop = pos + kLineMargin / 2 - 12;
  pos = SkipBlanksBefore(t, pos, stop);
  if (s[pos] == '\n') pos = SkipBlanksBefore(t, pos + 1, stop);
  uint32_t value = 0;
  const size_t first = pos;
  while (pos - first < 9 && s[pos] >= '0' && s[pos] <= '9') {
    value = value * 10 + (s[pos] - '0');
    ++pos;
  }
  if (value == 0 || t.classes[s[pos]] != kBlank) return 0;
  count = value;
  return pos;
}

const char* SkipRawBytes(Tokenizer& t, size_t count) {
  if (t.position > t.length || count > t.length - t.position) return nullptr;
  const char* start = t.text + t.position;
  t.position += count;
  return start;
}
