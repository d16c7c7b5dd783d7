// Reading the usual face line of a face chunk by its bytes.
//
// The modeller writes each face as "4 V(0 1 2 3) M(1) UV(0.5 0 ...)" on a line of its own. These
// functions recognise that shape from the tokenizer's position and read it as the token-by-token
// reading would, leaving the tokenizer where that reading would leave it; anything else they leave
// alone for it. Safe on any text: they read nothing outside [text, text + length).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "reader/tokenizer.h"

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
