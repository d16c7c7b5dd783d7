// The tokenizer's scanning loops. Each character is classified through a 256-entry table, and a
// word is copied (folded) in one tight loop, since this runs once for every byte of a model.
#include "reader/tokenizer.h"

#include <algorithm>
#include <cstring>

namespace {

void MarkSet(uint8_t* classes, const char* set, CharClass kind) {
  for (const char* c = set; c != nullptr && *c != '\0'; ++c)
    classes[static_cast<unsigned char>(*c)] = kind;
}

}  // namespace

void AimTokenizer(Tokenizer& t, const char* text, size_t length) {
  t.text = text;
  t.length = length;
  t.position = 0;
  t.quoted = 0;
  t.breakChar = 0;
  std::fill(std::begin(t.classes), std::end(t.classes), kPlain);
  MarkSet(t.classes, t.blanks, kBlank);
  MarkSet(t.classes, t.delimiters, kDelimiter);
  MarkSet(t.classes, t.quotes, kQuote);
  t.classes[0] = kEnd;
  for (int c = 0; c < 256; ++c) {
    int f = c;
    if (t.caseMode == kFoldLower && c >= 'A' && c <= 'Z') f = c - 'A' + 'a';
    if (t.caseMode == kFoldUpper && c >= 'a' && c <= 'z') f = c - 'a' + 'A';
    t.folded[c] = static_cast<uint8_t>(f);
  }
  const bool standardSets = std::strcmp(t.blanks, " \r\t") == 0 &&
                            std::strcmp(t.delimiters, ";,\n()") == 0 &&
                            std::strcmp(t.quotes, "'\"") == 0;
  t.fast = standardSets && t.bufferSize == 64 && !t.generalOnly;
}

bool NextToken(Token& token, Tokenizer& t) {
  t.quoted = 0;
  t.breakChar = 0;
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  const size_t end = t.length;
  size_t pos = t.position;
  // Past the end reads as the terminating zero, whose class is kEnd.
  auto classAt = [&](size_t p) { return p < end ? t.classes[s[p]] : uint8_t{kEnd}; };

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

  // A word: plain characters, folded, cut at bufferSize - 1 (then its break is left unread).
  const size_t limit = static_cast<size_t>(std::clamp(t.bufferSize, 1, 64) - 1);
  const size_t stop = std::min(end, pos + limit);
  const size_t start = pos;
  while (pos < stop && t.classes[s[pos]] == kPlain) {
    token.word[pos - start] = static_cast<char>(t.folded[s[pos]]);
    ++pos;
  }
  const size_t n = pos - start;
  token.word[n] = '\0';
  token.view = std::string_view(token.word, n);
  if (n < limit) {
    EndWord(t, pos);
  } else {
    t.position = pos;
  }
  return true;
}

const char* SkipRawBytes(Tokenizer& t, size_t count) {
  if (t.position > t.length || count > t.length - t.position) return nullptr;
  const char* start = t.text + t.position;
  t.position += count;
  return start;
}
