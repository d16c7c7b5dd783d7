// The fast scanner: reads what a model is mostly made of (runs of short numbers, and the count
// and keywords of the usual face line "4 V(0 1 2 3) M(1) UV(...)") straight from the text, and
// leaves the token, its break, `quoted` and the position exactly as NextToken would have left
// them; whatever it does not take it leaves, untouched, to NextToken. It reads only when the
// tokenizer allows it (Tokenizer::fast).
//
// A short number is [+-]digits[.digits] with 1 to 8 digits, ended within 16 bytes by a byte that
// is no plain character. The 16 bytes from its start are classified at once: by SSE2 compares
// where the compiler targets SSE2 and Tokenizer::vectorMasks allows, else by the character table
// (the same bit masks, one byte at a time). The scanner reads only where kReadAhead bytes of
// text remain, and every load asserts that its bytes lie inside [text, text + length).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "reader/tokenizer.h"

// A number is read only where this many bytes remain from its first: its 16-byte window, and the
// 8-byte load of its fraction digits, which starts at most 16 bytes in.
inline constexpr size_t kReadAhead = 32;

// Read up to `count` numbers as as many NextToken calls and conversions (ParseInt, ParseReal)
// would, while each is a short number; return how many they read.
size_t ReadNumberRun(Token& token, Tokenizer& tokenizer, int32_t* values, size_t count);
size_t ReadNumberRun(Token& token, Tokenizer& tokenizer, float* values, size_t count);

// The numbers of the usual face line, read from just after its "V(": `count` corners, ") M(" and
// the material, ") UV(" and 2 × count texture coordinates, while they are short numbers one space
// apart with exactly those bytes between the parts. Returns how many whole parts it read (0 to
// 3); the token and position are those NextToken leaves after the last number of the last of
// them. A part not read whole is left to the caller (its values may have been written).
int ReadFaceLineNumbers(Token& token, Tokenizer& tokenizer, uint32_t count, int32_t* corners,
                        int32_t* material, float* uvs);

// From `pos`: blanks, at most one line feed and blanks after it, then a count of 1 to 9 digits
// ended by a blank, as NextToken reads them (an empty token for the line feed, then the count).
// Returns the position after its digits and sets `count`; 0 when the text does not read so.
size_t MatchLineCount(const Tokenizer& tokenizer, size_t pos, uint32_t& count);

// From `pos`: blanks, then a keyword of 1 or 2 letters in any case, ended by "(". `usual` is how
// the modeller writes it, with one space before it and in capitals (" UV("). When the text reads
// so, makes the keyword the current token as NextToken would (folded, its break "(") and returns
// true; else changes nothing.
bool TakeKeyword(Token& token, Tokenizer& tokenizer, size_t pos, std::string_view usual);
