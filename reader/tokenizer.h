// Splits an MQO text into tokens, one at a time.
//
// Blanks separate words and are skipped; a delimiter ends the token it meets and is consumed with
// it (so a line feed right after a delimiter gives an empty token); a quote opens a token that
// runs to the same quote character, or to the end of the text, keeping its case and its blanks.
// Unquoted words are case-folded one byte at a time and cut after 63 characters, the rest starting
// the next token. Tokens end at `length` or at the first zero byte met while tokenizing; binary
// data that the text announces is stepped over with SkipRawBytes, zero bytes and all.
// No function here reads outside [text, text + length).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

enum CaseMode : int32_t { kKeepCase = 0, kFoldUpper = 1, kFoldLower = 2 };
enum CharClass : uint8_t { kPlain = 0, kBlank, kDelimiter, kQuote, kEnd };

struct Tokenizer {
  int32_t bufferSize = 64;  // an unquoted word holds at most bufferSize - 1 characters
  int32_t caseMode = kFoldLower;
  size_t position = 0;  // index in text of the next character to read
  const char* text = nullptr;
  size_t length = 0;
  const char* blanks = " \r\t";
  const char* delimiters = ";,\n()";
  const char* quotes = "'\"";
  int32_t quoted = 0;     // 1 when the last token was read inside quotes
  int32_t breakChar = 0;  // the delimiter or closing quote that ended it, else its first blank
  // Every token is read by NextToken, none by the fast scanner (fast_scan.h), which must leave
  // the same tokens: the reference for testing it.
  bool generalOnly = false;
  // The fast scanner classifies bytes with vector compares where the build targets them; else,
  // or when this is false, through the character table.
  bool vectorMasks = true;
  // Set by AimTokenizer: the character tables, and whether the fast scanner may read (the sets
  // above, 63-character words, and not generalOnly).
  uint8_t classes[256] = {};
  uint8_t folded[256] = {};
  bool fast = false;
};

// The current token. An unquoted word lives (folded) in `word`; a quoted token points into the
// text, so it stays valid only while the text does. After NextToken returns false it still holds
// the previous token.
struct Token {
  char word[64] = {};
  std::string_view view;
};

// Points the tokenizer at a new text from its start and rebuilds its character tables.
void AimTokenizer(Tokenizer& tokenizer, const char* text, size_t length);

// Reads the next token; false, leaving the token as it was, when the text is exhausted.
bool NextToken(Token& token, Tokenizer& tokenizer);

// Consumes the break of a word that ended at pos: the first blank after it with the blanks that
// follow, and a delimiter after those. Sets breakChar and position after it.
inline void EndWord(Tokenizer& t, size_t pos) {
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  auto charAt = [&](size_t p) { return p < t.length ? s[p] : uint8_t{0}; };
  // What follows a word alternates unpredictably between a blank and a delimiter (the numbers of
  // "V(1 2 3)"), so both are loaded, then chosen, without a branch on which.
  const uint8_t first = charAt(pos);
  const bool blank = t.classes[first] == kBlank;
  int32_t breakChar = blank ? first : 0;
  pos += blank;
  while (t.classes[charAt(pos)] == kBlank)
    ++pos;  // rarely more than one blank
  const uint8_t after = charAt(pos);
  const bool delimiter = t.classes[after] == kDelimiter;
  t.breakChar = delimiter ? after : breakChar;
  t.position = pos + delimiter;
}

// Moves the position past `count` raw bytes (binary data the text announced, which may hold any
// byte, zero included) and returns where they start; nullptr, the position unchanged, when fewer
// than `count` bytes remain before `length`.
const char* SkipRawBytes(Tokenizer& tokenizer, size_t count);
