// The fast scanner: bit masks of a 16-byte window, short numbers converted in one 64-bit word,
// runs of them, and the usual face line's count and keywords.
#include "reader/fast_scan.h"

#include <bit>
#include <cassert>
#include <cstring>
#include <type_traits>

#include "reader/numbers.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VUV2EZ_SSE2 1
#else
#define VUV2EZ_SSE2 0
#endif

static_assert(std::endian::native == std::endian::little,
              "digits are read from words whose lowest byte comes first in the text");

namespace {

constexpr size_t kWindow = 16;
static_assert(kReadAhead >= kWindow + 8 && kReadAhead > 16 + 1 + 9 + 1);

// Bytes [p, p + size) of the text, asserted to lie inside it.
const char* Inside([[maybe_unused]] const Tokenizer& t, const char* p,
                   [[maybe_unused]] size_t size) {
  assert(p >= t.text && size <= t.length && static_cast<size_t>(p - t.text) <= t.length - size);
  return p;
}

uint64_t Load8(const Tokenizer& t, const char* p) {
  uint64_t word;
  std::memcpy(&word, Inside(t, p, 8), 8);
  return word;
}

size_t SkipBlanks(const Tokenizer& t, size_t pos, size_t stop) {
  while (pos < stop && t.classes[static_cast<unsigned char>(t.text[pos])] == kBlank)
    ++pos;
  return pos;
}

// One bit per byte of the window (bit i for byte i).
struct Masks {
  uint32_t numeric;  // digits and points
  uint32_t points;
  uint32_t spaces;
  uint32_t leads;  // what a number starts with: digits, points and signs
};

template <bool vector>
[[gnu::always_inline]] inline Masks MasksAt(const Tokenizer& t, const char* p) {
  Inside(t, p, kWindow);
#if VUV2EZ_SSE2
  if constexpr (vector) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    auto is = [v](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
    auto bits = [](__m128i m) { return static_cast<uint32_t>(_mm_movemask_epi8(m)); };
    // Signed compares: bytes from 0x80 up are negative, so never digits.
    const __m128i digits = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('0' - 1)),
                                         _mm_cmplt_epi8(v, _mm_set1_epi8('9' + 1)));
    const __m128i numeric = _mm_or_si128(digits, is('.'));
    return Masks{bits(numeric), bits(is('.')), bits(is(' ')),
                 bits(_mm_or_si128(numeric, _mm_or_si128(is('-'), is('+'))))};
  }
#endif
  Masks m{0, 0, 0, 0};
  for (uint32_t i = 0; i < kWindow; ++i) {
    const auto c = static_cast<unsigned char>(p[i]);
    const uint32_t bit = (t.classes[c] == kPlain ? 1u : 0u) << i;
    const bool digit = c >= '0' && c <= '9';
    m.numeric |= digit || c == '.' ? bit : 0;
    m.points |= c == '.' ? bit : 0;
    m.spaces |= c == ' ' && t.classes[c] == kBlank ? 1u << i : 0;
    m.leads |= digit || c == '.' || c == '-' || c == '+' ? bit : 0;
  }
  return m;
}

// The value of the `count` (0 to 8) decimal digits at p, as one integer. Their values, the first
// in the lowest byte, are moved up so that the bytes after them fall off the top (in two shifts,
// as a count of none moves all 64 bits): an 8-digit number with leading zeros. Neighbouring digits
// are merged into pairs (0-99, in bytes 0, 2, 4 and 6), and two multiplications weigh the pairs
// by 10^6, 10^4, 100 and 1 into the top half, where no product reaches beyond its lane.
uint64_t DigitsValue(uint64_t chunk, uint32_t count) {
  const auto shift = 4 * (8 - count);
  uint64_t v = ((chunk - 0x3030303030303030ull) << shift) << shift;
  v = v * 10 + (v >> 8);
  constexpr uint64_t kPairs = 0x000000FF000000FFull;
  constexpr uint64_t kFirstWeights = 100 + (1000000ull << 32);
  constexpr uint64_t kSecondWeights = 1 + (10000ull << 32);
  return ((v & kPairs) * kFirstWeights + ((v >> 16) & kPairs) * kSecondWeights) >> 32;
}

// The word at p when it is a short number: its value goes to `value` and its length is returned,
// else 0. One straight pass with no branch but the one that tells it from the rest. `next` is the
// offset from p of the token after it when that is plainly one space on, else 0.
template <typename Value, bool vector>
[[gnu::always_inline]] inline uint32_t ReadShortNumber(const Tokenizer& t, const char* p,
                                                       Value& value, size_t& next) {
  constexpr bool integer = std::is_same_v<Value, int32_t>;
  const Masks m = MasksAt<vector>(t, p);
  const uint32_t sign = m.leads & ~m.numeric & 1;
  const auto end =
      static_cast<uint32_t>(std::countr_zero((((~m.numeric) & 0xFFFFu) | 0x10000u) & ~sign));
  const uint32_t points = m.points & ((1u << end) - 1);
  const uint32_t hasPoint = points != 0 ? 1 : 0;
  const uint32_t point = hasPoint != 0 ? static_cast<uint32_t>(std::countr_zero(points)) : end;
  const uint32_t digits = end - sign - hasPoint;
  // Not short: two points, no digit or more than 8, no end in the window, a point in an integer.
  const uint32_t unusual =
      (points & (points - 1)) | ((digits - 1) >> 3) | (end >> 4) | (integer ? hasPoint : 0);
  if (unusual != 0 || t.classes[static_cast<unsigned char>(p[end])] == kPlain) return 0;
  // The integer digits and the fraction's, moved down over the point, in one word.
  const uint64_t whole = Load8(t, p + sign);
  uint64_t joined = whole;
  if constexpr (!integer) {
    const auto shift = 4 * (point - sign);  // twice, as a shift by 64 bits is undefined
    const uint64_t kept = ~((~uint64_t{0} << shift) << shift);
    joined = (whole & kept) | ((Load8(t, p + point + 1) << shift) << shift);
  }
  const uint64_t mantissa = DigitsValue(joined, digits);
  if constexpr (integer) {
    const auto low = static_cast<uint32_t>(mantissa);
    value = static_cast<int32_t>(p[0] == '-' ? 0u - low : low);
  } else {
    double magnitude = 0;  // 8 digits at most: always exact
    ExactMagnitude(mantissa, -static_cast<int64_t>(end - point - hasPoint), magnitude);
    // Rounding is symmetric, so the sign is set on the float, without a branch: signs in a model
    // come in no order a predictor could learn.
    const auto sign31 = static_cast<uint32_t>(p[0] == '-') << 31;
    value = std::bit_cast<float>(std::bit_cast<uint32_t>(static_cast<float>(magnitude)) | sign31);
  }
  // Numbers in a run are mostly one space apart: a space and then what starts a number is the
  // whole break, and no blanks lead the next token.
  const uint32_t gaps = m.spaces & (m.leads >> 1);
  next = ((gaps >> end) & 1) != 0 ? end + 1 : 0;
  return end;
}

// Makes the short number of `length` bytes at `start` the current token, its break consumed.
void EndOnNumber(Token& token, Tokenizer& t, size_t start, uint32_t length) {
  std::memcpy(token.word, Inside(t, t.text + start, kWindow), kWindow);
  token.word[length] = '\0';
  token.view = std::string_view(token.word, length);
  t.quoted = 0;
  EndWord(t, start + length);
}

template <typename Value, bool vector>
size_t ReadRun(Token& token, Tokenizer& t, Value* values, size_t count) {
  size_t start = SkipBlanks(t, t.position, t.length), read = 0, lastStart = 0;
  uint32_t lastLength = 0;
  while (read < count && t.length - start >= kReadAhead) {
    size_t next = 0;
    const uint32_t n = ReadShortNumber<Value, vector>(t, t.text + start, values[read], next);
    if (n == 0) break;
    ++read;
    lastStart = start;
    lastLength = n;
    if (next != 0) {
      start += next;
    } else {
      EndWord(t, start + n);
      start = SkipBlanks(t, t.position, t.length);
    }
  }
  if (read > 0) EndOnNumber(token, t, lastStart, lastLength);
  return read;
}

// The usual face line's numbers in one pass: each part is short numbers one space apart followed
// by exactly `after`, so that only the last number's token and break need to be kept.
template <bool vector>
int ReadFaceLine(Token& token, Tokenizer& t, uint32_t count, int32_t* corners, int32_t* material,
                 float* uvs) {
  size_t pos = t.position, lastStart = 0;
  uint32_t lastLength = 0;
  int parts = 0;
  auto part = [&]<typename Value>(Value* values, size_t numbers, std::string_view after) {
    // A short number and the space after it take at most kWindow bytes: with this much room the
    // part's last number still has kReadAhead bytes (every load below asserts it).
    if (t.length - pos < kReadAhead + kWindow * (numbers - 1)) return false;
    size_t start = pos;
    uint32_t length = 0;
    for (size_t k = 0; k < numbers; ++k) {
      size_t next = 0;
      length = ReadShortNumber<Value, vector>(t, t.text + start, values[k], next);
      if (length == 0 || (k + 1 < numbers && next == 0)) return false;
      if (k + 1 < numbers) start += next;
    }
    const char* end = Inside(t, t.text + start + length, after.size());
    if (std::memcmp(end, after.data(), after.size()) != 0) return false;
    lastStart = start;
    lastLength = length;
    pos = start + length + after.size();
    ++parts;
    return true;
  };
  int32_t m = 0;
  if (part(corners, count, ") M(") && part(&m, 1, ") UV(")) {
    *material = m;
    part(uvs, 2 * size_t{count}, "");
  }
  if (parts > 0) EndOnNumber(token, t, lastStart, lastLength);
  return parts;
}

template <typename Value>
size_t ReadRunOf(Token& token, Tokenizer& t, Value* values, size_t count) {
  if (!t.fast) return 0;
#if VUV2EZ_SSE2
  if (t.vectorMasks) return ReadRun<Value, true>(token, t, values, count);
#endif
  return ReadRun<Value, false>(token, t, values, count);
}

bool RoomToRead(const Tokenizer& t, size_t pos) {
  return t.fast && pos <= t.length && t.length - pos >= kReadAhead;
}

}  // namespace

size_t ReadNumberRun(Token& token, Tokenizer& t, int32_t* values, size_t count) {
  return ReadRunOf(token, t, values, count);
}

size_t ReadNumberRun(Token& token, Tokenizer& t, float* values, size_t count) {
  return ReadRunOf(token, t, values, count);
}

int ReadFaceLineNumbers(Token& token, Tokenizer& t, uint32_t count, int32_t* corners,
                        int32_t* material, float* uvs) {
  if (!t.fast) return 0;
#if VUV2EZ_SSE2
  if (t.vectorMasks) return ReadFaceLine<true>(token, t, count, corners, material, uvs);
#endif
  return ReadFaceLine<false>(token, t, count, corners, material, uvs);
}

size_t MatchLineCount(const Tokenizer& t, size_t pos, uint32_t& count) {
  if (!RoomToRead(t, pos)) return 0;
  Inside(t, t.text + pos, 16 + 1 + 9 + 1);  // the blanks, a line feed, 9 digits and a blank
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  const size_t stop = pos + 16;
  pos = SkipBlanks(t, pos, stop);
  if (s[pos] == '\n') pos = SkipBlanks(t, pos + 1, stop);
  uint32_t value = 0;
  for (const size_t first = pos; pos - first < 9 && s[pos] >= '0' && s[pos] <= '9'; ++pos)
    value = value * 10 + (s[pos] - '0');
  if (value == 0 || t.classes[s[pos]] != kBlank) return 0;
  count = value;
  return pos;
}

bool TakeKeyword(Token& token, Tokenizer& t, size_t pos, std::string_view usual) {
  const size_t letters = usual.size() - 2;
  if (!RoomToRead(t, pos) || letters < 1 || letters > 2) return false;
  Inside(t, t.text + pos, 16 + 2 + 1);  // the blanks, the keyword and "("
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  uint32_t here = 0, spelled = 0;
  std::memcpy(&here, Inside(t, t.text + pos, 4), 4);
  for (size_t i = 0; i < usual.size(); ++i)
    spelled |= uint32_t{static_cast<unsigned char>(usual[i])} << (8 * i);
  const uint32_t compared = usual.size() == 4 ? ~0u : (1u << (8 * usual.size())) - 1;
  if ((here & compared) == spelled) {
    pos += usual.size() - 1;
  } else {
    pos = SkipBlanks(t, pos, pos + 16);
    for (size_t i = 1; i <= letters; ++i, ++pos) {
      const auto wanted = static_cast<unsigned char>(usual[i] - 'A' + 'a');
      if (t.classes[s[pos]] != kPlain || t.folded[s[pos]] != wanted) return false;
    }
    if (s[pos] != '(') return false;
  }
  for (size_t i = 0; i < letters; ++i)
    token.word[i] = static_cast<char>(usual[i + 1] - 'A' + 'a');
  token.word[letters] = '\0';
  token.view = std::string_view(token.word, letters);
  t.quoted = 0;
  t.breakChar = '(';
  t.position = pos + 1;
  return true;
}
