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
#include <cstring>
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

// A line's look-ahead stays this far before the end of the text, so no load needs a bounds check.
inline constexpr size_t kLookAheadMargin = 64;

// Look-ahead for the usual layout of a line, for readers that know what should come next. Each
// looks at the text from `pos` and returns the position after what it matched, or 0 when the text
// does not read exactly so, is near its end, or the tokenizer is not set up the standard way. The
// reader that moves to the returned position must leave its tokens as NextToken would have.
//
// Blanks, then a keyword ended by "(": the token NextToken folds to that keyword, with "(" as its
// break. `usual` is the keyword as the modeller writes it, after one space, in capitals, with its
// "(" (" UV("); the text is first compared with it as it stands. Returns the position after "(".
size_t MatchKeywordParenSlowly(const Tokenizer& tokenizer, size_t pos, std::string_view usual);
template <size_t N>
inline size_t MatchKeywordParen(const Tokenizer& tokenizer, size_t pos, const char (&usual)[N]) {
  const Tokenizer& t = tokenizer;
  if (t.standardClasses && t.bufferSize == 64 && t.caseMode == kFoldLower && pos <= t.length &&
      t.length - pos >= kLookAheadMargin && std::memcmp(t.text + pos, usual, N - 1) == 0) {
    return pos + N - 1;
  }
  return MatchKeywordParenSlowly(tokenizer, pos, std::string_view(usual, N - 1));
}
// Blanks, at most one line feed and blanks after it, then a word of 1 to 9 digits ended by a
// blank: an empty token and the count, as NextToken reads them. Sets `count` (at least 1) and
// returns the position after its digits.
size_t MatchLineCount(const Tokenizer& tokenizer, size_t pos, uint32_t& count);

// The numbers of the usual face line "4 V(0 1 2 3) M(1) UV(0.5 0 ...)", read from just after
// its "V(" as NextIntRun, MatchKeywordParen and NextRealRun would read them, while they are short
// decimals one space apart with ") M(" and ") UV(" between the three parts exactly so. Returns
// how many whole parts it read (corners, then the material, then the texture coordinates); the
// token and position are those the general reading has after the last of them. A part not read
// whole is left to the general reading (its values may have been written; they are read again).
struct UsualFace {
  uint32_t count;  // corners, at least 1
  int32_t* corners;
  int32_t* material;  // written only with the material part
  float* uvs;         // 2 * count
};
int ReadUsualFaceNumbers(Token& token, Tokenizer& tokenizer, const UsualFace& face);

// Moves the position past `count` raw bytes (binary data the text announced, which may hold any
// byte, zero included) and returns where they start; nullptr, the position unchanged, when fewer
// than `count` bytes remain before `length`.
const char* SkipRawBytes(Tokenizer& tokenizer, size_t count);
