// Walking UTF-8 text by characters and measuring it in terminal cells.
#include "front/terminal/utf8_text.h"

#include <wchar.h>  // wcwidth, from POSIX

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

Utf8Char DecodeUtf8(std::string_view text, size_t at) {
  if (at >= text.size()) return {0, 0};
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1};
  // The lead byte gives the length, its own bits of the value, and the least value that needs
  // that length (anything less is an overlong form).
  struct Form {
    unsigned char mask, lead;
    size_t length;
    char32_t least;
  };
  constexpr Form kForms[] = {
      {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};
  const Form* form = nullptr;
  for (const Form& f : kForms) {
    if ((lead & f.mask) == f.lead) form = &f;
  }
  if (form == nullptr) return {kReplacement, 1};
  const size_t length = form->length;
  const char32_t smallest = form->least;
  char32_t code = lead & static_cast<unsigned char>(~form->mask);
  if (text.size() - at < length) return {kReplacement, 1};
  for (size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[at + i]);
    if (!IsContinuation(byte)) return {kReplacement, 1};
    code = (code << 6) | (byte & 0x3Fu);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not characters.
  if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return {kReplacement, 1};
  }
  return {code, length};
}

size_t PreviousCharStart(std::string_view text, size_t at) {
  if (at == 0) return 0;
  // Step back over at most three continuation bytes, then check that they belong to the
  // character found there; otherwise the byte just before `at` stands alone.
  size_t start = at - 1;
  while (start > 0 && at - start < 4 && IsContinuation(static_cast<unsigned char>(text[start]))) {
    --start;
  }
  return start + DecodeUtf8(text, start).length == at ? start : at - 1;
}

std::string EncodeUtf8(char32_t code) {
  std::string out;
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = kReplacement;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

char32_t ShownChar(char32_t code) {
  return ::wcwidth(static_cast<wchar_t>(code)) < 0 ? kReplacement : code;
}

int CharCells(char32_t code) {
  const int cells = ::wcwidth(static_cast<wchar_t>(code));
  return cells < 0 ? 1 : cells;
}

int TextCells(std::string_view text) {
  int cells = 0;
  for (size_t at = 0; at < text.size();) {
    const Utf8Char c = DecodeUtf8(text, at);
    cells += CharCells(c.code);
    at += c.length;
  }
  return cells;
}
