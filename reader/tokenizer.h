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
  // Built by AimTokenizer from the three sets and the case mode.
  uint8_t classes[256] = {};
  uint8_t folded[256] = {};
  bool standardClasses = false;  // the three sets are the ones above
};

// The current token. An unquoted word lives (folded) in `word`; a quoted token points into the
// text, so it stays valid only while the text does. After NextToken returns false it still holds
// the previous token.
struct Token {
  // 63 characters, a terminator, and 8 zero bytes that let a digit scan read 8 bytes at a time.
  char word[72] = {};
  std::string_view view;
};

// Points the tokenizer at a new text from its start and rebuilds its character tables.
void AimTokenizer(Tokenizer& tokenizer, const char* text, size_t length);

// Reads the next token; false, leaving the token as it was, when the text is exhausted.
bool NextToken(Token& token, Tokenizer& tokenizer);

// A word of the form [+-]digits[.digits] holding 1 to 19 digits, as the scanner saw it.
struct PlainDecimal {
  uint64_t mantissa;  // every digit, as one integer
  uint32_t fractionDigits;
  bool negative;
  bool hasPoint;
};

// NextToken, for readers that want a number: when the token is such a word, `isDecimal` is set
// and `decimal` holds its digits, read in the same pass as the token itself.
bool NextTokenDecimal(Token& token, Tokenizer& tokenizer, PlainDecimal& decimal, bool& isDecimal);

// Read up to `count` numbers as as many NextTokenDecimal calls and conversions would, while each
// token is a plain decimal that converts exactly the fast way, and return how many they read; the
// caller reads the rest one at a time. The token is left as the last of them left it.
size_t NextIntRun(Token& token, Tokenizer& tokenizer, int32_t* values, size_t count);
size_t NextRealRun(Token& token, Tokenizer& tokenizer, float* values, size_t count);

// Moves the position past `count` raw bytes (binary data the text announced, which may hold any
// byte, zero included) and returns where they start; nullptr, the position unchanged, when fewer
// than `count` bytes remain before `length`.
const char* SkipRawBytes(Tokenizer& tokenizer, size_t count);
