// The usual face line, recognised by its bytes: its corner count and keywords are matched
// without tokenizing them, and its numbers read in one pass.
#include "reader/face_line.h"

#include "reader/numbers.h"
#include "reader/scan_internals.h"

using namespace scan;

namespace {

inline bool ReadyForLookAhead(const Tokenizer& t, size_t pos) {
  return t.standardClasses && t.bufferSize == 64 && pos <= t.length &&
         t.length - pos >= kLookAheadMargin;
}

// Blanks from pos skipped, at most up to `stop`.
inline size_t SkipBlanksBefore(const Tokenizer& t, size_t pos, size_t stop) {
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  while (pos < stop && t.classes[s[pos]] == kBlank)
    ++pos;
  return pos;
}

// The numbers of a usual face line, from just after its "V(": short numbers one space apart,
// with ") M(" after the corners and ") UV(" after the material, exactly so. Reads as many whole
// parts (corners, material, texture coordinates) as it can; a part it cannot read whole is left
// as it is, and the tokenizer ends where the part before it ended.
template <bool vector>
int ReadUsualFaceNumbers(Token& token, Tokenizer& t, const UsualFace& face) {
  if (t.bufferSize != 64) return 0;
  const char* const text = t.text;
  size_t pos = t.position, lastStart = 0, lastLength = 0;
  int parts = 0;
  // One part: `count` numbers, then `after` (none after the last part).
  auto readPart = [&]<typename Value, bool (*Convert)(const PlainDecimal&, Value&), bool integers>(
                      Value* values, size_t count, std::string_view after) {
    // Each number and its space take at most 16 bytes: the part ends kDecimalMargin bytes or
    // more before the end of the text.
    if (t.length - pos < kDecimalMargin + 16 * count) return false;
    size_t start = pos, length = 0;
    for (size_t k = 0; k < count; ++k) {
      size_t next = 0;
      length = ReadShortDecimal<Value, Convert, integers, vector>(t, text + start, values[k], next);
      if (length == 0) return false;
      if (k + 1 < count) {
        if (next == 0) return false;
        start += next;
      }
    }
    if (!after.empty() && std::memcmp(text + start + length, after.data(), after.size()) != 0) {
      return false;
    }
    lastStart = start;
    lastLength = length;
    pos = start + length + after.size();
    ++parts;
    return true;
  };
  int32_t material = 0;
  if (readPart.template operator()<int32_t, IntFromDecimal, true>(face.corners, face.count,
                                                                  ") M(") &&
      readPart.template operator()<int32_t, IntFromDecimal, true>(&material, 1, ") UV(")) {
    *face.material = material;
    readPart.template operator()<float, RealFromDecimal, false>(face.uvs, 2 * face.count, "");
  }
  if (parts > 0) EndOnDecimal(token, t, lastStart, lastLength);
  return parts;
}

}  // namespace

size_t MatchKeywordParenSlowly(const Tokenizer& t, size_t pos, std::string_view usual) {
  // The keyword is what `usual` holds between its space and its "(".
  if (!ReadyForLookAhead(t, pos) || usual.size() < 3 || usual.size() > 10) return 0;
  const std::string_view keyword = usual.substr(1, usual.size() - 2);
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  pos = SkipBlanksBefore(t, pos, pos + kLookAheadMargin / 2);
  for (const char c : keyword) {
    const auto wanted = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (t.folded[s[pos]] != wanted || t.classes[s[pos]] != kPlain) return 0;
    ++pos;
  }
  return s[pos] == '(' ? pos + 1 : 0;
}

size_t MatchLineCount(const Tokenizer& t, size_t pos, uint32_t& count) {
  if (!ReadyForLookAhead(t, pos)) return 0;
  const auto* const s = reinterpret_cast<const unsigned char*>(t.text);
  const size_t stop = pos + kLookAheadMargin / 2 - 12;
  pos = SkipBlanksBefore(t, pos, stop);
  if (s[pos] == '\n') pos = SkipBlanksBefore(t, pos + 1, stop);
  uint32_t value = 0;
  const size_t first = pos;
  while (pos - first < 9 && s[pos] >= '0' && s[pos] <= '9') {
    value = value * 10 + (s[pos] - '0');
    ++pos;
  }
  if (value == 0 || t.classes[s[pos]] != kBlank) return 0;
  count = value;
  return pos;
}

int ReadUsualFaceNumbers(Token& token, Tokenizer& tokenizer, const UsualFace& face) {
#if VUV2EZ_SSE2
  if (tokenizer.standardClasses) return ReadUsualFaceNumbers<true>(token, tokenizer, face);
#endif
  return ReadUsualFaceNumbers<false>(token, tokenizer, face);
}
