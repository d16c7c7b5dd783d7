// UTF-8 text as the terminal shows it: characters one at a time and the cells each one takes
// (a wide Japanese character takes two). Widths follow the C library's wcwidth, which is what the
// terminal library uses to place characters, so LC_CTYPE must name a UTF-8 locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// One character of a UTF-8 text. A byte that starts no valid sequence is a character of its own,
// shown as a replacement character.
struct Utf8Char {
  char32_t code = 0;  // U+FFFD for an invalid byte
  size_t length = 0;  // bytes taken, 0 only at the end of the text
};

Utf8Char DecodeUtf8(std::string_view text, size_t at);

// The start of the character before `at` (0 when `at` is at the start).
size_t PreviousCharStart(std::string_view text, size_t at);

std::string EncodeUtf8(char32_t code);

// Cells a character takes: 0 for combining marks, 2 for wide ones; characters the terminal
// cannot show (controls, invalid bytes) take one cell, as they are drawn as a replacement.
int CharCells(char32_t code);

// Cells a whole text takes.
int TextCells(std::string_view text);

// What a character is drawn as: itself, or U+FFFD when it cannot be shown.
char32_t ShownChar(char32_t code);
