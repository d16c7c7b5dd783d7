// The tokenizer's scanning loops. Each character is classified through a 256-entry table, and a
// word is copied (folded) in one tight loop, since this runs once for every byte of a model.
#include "reader/tokenizer.h"

#include "reader/numbers.h"

#include <algorithm>
#include <bit>
#include <cstring>

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

// Reads the run of decimal digits at p, 8 bytes at a time, into `mantissa` (which wraps beyond
// 19 digits; the caller counts). p must have 8 readable bytes after every digit of the run.
// Returns the number of digits; p is left on the first byte that is not one.
inline size_t ScanDigits(const char*& p, uint64_t& mantissa) {
  static constexpr uint64_t kPowers[] = {1,      10,      100,      1000,     10000,
                                         100000, 1000000, 10000000, 100000000};
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
    // The digits' values, the first in the lowest byte, moved up so that the bytes after the run
    // fall off the top (in two shifts, as a run of none moves all 64 bits): an 8-digit number
    // with leading zeros. Neighbouring lanes are then merged in three steps: pairs (0-99),
    // quadruples (0-9999), the whole (0-99999999). No branch depends on the run's length.
    const auto shift = static_cast<unsigned>(4 * (8 - count));
    uint64_t v = ((chunk - kZeros) << shift) << shift;
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFull;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFull;
    v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFull;
    mantissa = mantissa * kPowers[count] + v;
    p += count;
    total += count;
    if (count < 8 || total > 19) return total;  // a longer run is no plain decimal anyway
  }
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

// The word at pos, when it is a plain decimal standing kDecimalMargin bytes or more before the
// end of the text: its digits in `decimal` and its length in `n`. False for anything else.
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
  // Integers and reals alternate unpredictably: the fraction is scanned whether or not there is
  // a point, and finds no digits when there is none.
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

// Reads up to `count` tokens as as many NextTokenDecimal calls would, while each is a plain
// decimal that Convert turns into a value exactly; stops before the first that is not. Only the
// last token read needs to be kept: the ones before it would have been overwritten.
template <typename Value, bool (*Convert)(const PlainDecimal&, Value&), bool integerOnly>
size_t NextDecimalRun(Token& token, Tokenizer& t, Value* values, size_t count) {
  size_t pos = t.position;
  size_t read = 0, lastStart = 0, lastLength = 0;
  int32_t lastBreak = 0;
  for (; read < count; ++read) {
    const size_t start = SkipBlanks(t, pos);
    PlainDecimal decimal;
    size_t n = 0;
    if (!ScanPlainDecimal<integerOnly>(t, start, decimal, n) || !Convert(decimal, values[read])) {
      break;
    }
    lastStart = start;
    lastLength = n;
    pos = SkipBreak(t, start + n, lastBreak);
  }
  if (read > 0) {
    TakeDecimalWord(token, t, lastStart, lastLength);
    t.breakChar = lastBreak;
    t.position = pos;
  }
  return read;
}

}  // namespace

bool NextTokenDecimal(Token& token, Tokenizer& t, PlainDecimal& decimal, bool& isDecimal) {
  isDecimal = false;
  const size_t start = SkipBlanks(t, t.position);
  size_t n = 0;
  // Anything but a plain decimal, including a word that turns out not to be one, is read the
  // general way from where this call began.
  if (!ScanPlainDecimal(t, start, decimal, n)) return NextToken(token, t);
  TakeDecimalWord(token, t, start, n);
  int32_t breakChar = 0;
  t.position = SkipBreak(t, start + n, breakChar);
  t.breakChar = breakChar;
  isDecimal = true;
  return true;
}

size_t NextIntRun(Token& token, Tokenizer& tokenizer, int32_t* values, size_t count) {
  return NextDecimalRun<int32_t, IntFromDecimal, true>(token, tokenizer, values, count);
}

size_t NextRealRun(Token& token, Tokenizer& tokenizer, float* values, size_t count) {
  return NextDecimalRun<float, RealFromDecimal, false>(token, tokenizer, values, count);
}

const char* SkipRawBytes(Tokenizer& t, size_t count) {
  if (t.position > t.length || count > t.length - t.position) return nullptr;
  const char* start = t.text + t.position;
  t.position += count;
  return start;
}
