// Numbers read as the tokenizer reads them, without building each token first: one plain
// decimal (NextTokenDecimal), or a run of them (NextIntRun, NextRealRun).
#include "reader/tokenizer.h"

#include "reader/numbers.h"
#include "reader/scan_internals.h"

using namespace scan;

namespace {

// Reads up to `count` tokens as as many NextTokenDecimal calls would, while each is a plain
// decimal that Convert turns into a value exactly; stops before the first that is not. Only the
// last token read needs to be kept, and only its break: the ones before would be overwritten.
template <typename Value, bool (*Convert)(const PlainDecimal&, Value&), bool integerOnly,
          bool vector>
size_t NextDecimalRun(Token& token, Tokenizer& t, Value* values, size_t count) {
  size_t start = SkipBlanks(t, t.position);
  size_t read = 0, lastStart = 0, lastLength = 0;
  const bool windows = t.bufferSize == 64;
  for (; read < count; ++read) {
    size_t n = 0, next = 0;
    if (windows && t.length - start >= kDecimalMargin) {
      n = ReadShortDecimal<Value, Convert, integerOnly, vector>(t, t.text + start, values[read],
                                                                next);
    }
    if (n == 0) {
      PlainDecimal decimal;
      if (!ScanPlainDecimal<integerOnly>(t, start, decimal, n) || !Convert(decimal, values[read])) {
        break;
      }
    }
    lastStart = start;
    lastLength = n;
    if (next != 0) {
      start += next;
    } else {
      int32_t ignored = 0;
      start = SkipBlanks(t, SkipBreak(t, start + n, ignored));
    }
  }
  if (read > 0) EndOnDecimal(token, t, lastStart, lastLength);
  return read;
}

template <typename Value, bool (*Convert)(const PlainDecimal&, Value&), bool integerOnly>
size_t NextDecimalRunOf(Token& token, Tokenizer& t, Value* values, size_t count) {
#if VUV2EZ_SSE2
  if (t.standardClasses) {
    return NextDecimalRun<Value, Convert, integerOnly, true>(token, t, values, count);
  }
#endif
  return NextDecimalRun<Value, Convert, integerOnly, false>(token, t, values, count);
}

}  // namespace

bool NextTokenDecimal(Token& token, Tokenizer& t, PlainDecimal& decimal, bool& isDecimal) {
  isDecimal = false;
  const size_t start = SkipBlanks(t, t.position);
  size_t n = 0;
  // Anything but a plain decimal, including a word that turns out not to be one, is read the
  // general way from where this call began.
  if (!ScanPlainDecimal(t, start, decimal, n)) return NextToken(token, t);
  TakeDecimalWord(token, t, start, n);
  int32_t breakChar = 0;
  t.position = SkipBreak(t, start + n, breakChar);
  t.breakChar = breakChar;
  isDecimal = true;
  return true;
}

size_t NextIntRun(Token& token, Tokenizer& tokenizer, int32_t* values, size_t count) {
  return NextDecimalRunOf<int32_t, IntFromDecimal, true>(token, tokenizer, values, count);
}

size_t NextRealRun(Token& token, Tokenizer& tokenizer, float* values, size_t count) {
  return NextDecimalRunOf<float, RealFromDecimal, false>(token, tokenizer, values, count);
}
