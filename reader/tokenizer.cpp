// The tokenizer's scanning loops. Each character is classified through a 256-entry table, and a
// word is copied (folded) in one tight loop, since this runs once for every byte of a model.
#include "reader/tokenizer.h"

#include <algorithm>

namespace {

enum CharClass : uint8_t { kPlain = 0, kBlank, kDelimiter, kQuote, kEnd };

void MarkSet(uint8_t* classes, const char* set, CharClass kind) {
  for (const char* c = set; c != nullptr && *c != '\0'; ++c) {
    classes[static_cast<unsigned char>(*c)] = kind;
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
  const auto* s = reinterpret_cast<const unsigned char*>(t.text);
  const size_t end = t.length;
  size_t pos = t.position;
  // Past the end reads as the terminating zero, whose class is kEnd.
  auto classAt = [&](size_t p) { return p < end ? t.classes[s[p]] : uint8_t{kEnd}; };

  if (classAt(pos) == kEnd) return false;

  // Leading blanks; blanks running into the end give one empty token.
  while (classAt(pos) == kBlank)
    ++pos;
  const uint8_t first = classAt(pos);
  if (first == kEnd || first == kDelimiter) {
    if (first == kDelimiter) t.breakChar = s[pos++];
    token.view = std::string_view(token.word, 0);
    token.word[0] = '\0';
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
  size_t n = 0;
  while (n < limit && classAt(pos) == kPlain) {
    token.word[n++] = static_cast<char>(t.folded[s[pos++]]);
  }
  token.word[n] = '\0';
  token.view = std::string_view(token.word, n);
  if (n < limit) {
    uint8_t next = classAt(pos);
    if (next == kBlank) {
      // The first blank is the break; the blanks after it are absorbed, and a delimiter after
      // them still ends this token.
      t.breakChar = s[pos++];
      while (classAt(pos) == kBlank)
        ++pos;
      next = classAt(pos);
    }
    if (next == kDelimiter) t.breakChar = s[pos++];
  }
  t.position = pos;
  return true;
}
