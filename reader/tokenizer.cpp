// The tokenizer's scanning loops. Each character is classified through a 256-entry table, and a
// word is copied (folded) in one tight loop, since this runs once for every byte of a model.
#include "reader/tokenizer.h"

#include <algorithm>

#include "reader/scan_internals.h"

using namespace scan;

namespace {

void MarkSet(uint8_t* classes, const char* set, CharClass kind) {
  for (const char* c = set; c != nullptr && *c != '\0'; ++c) {
    classes[static_cast<unsigned char>(*c)] = kind;
  }
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

const char* SkipRawBytes(Tokenizer& t, size_t count) {
  if (t.position > t.length || count > t.length - t.position) return nullptr;
  const char* start = t.text + t.position;
  t.position += count;
  return start;
}
