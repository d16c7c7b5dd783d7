// The state that the MQO readers share while one document loads: the tokenizer over its text,
// the current token, and the budget that keeps the model's size linear in the text's.
//
// Internal to the reader library. Each Read* function returns false when the load must fail
// (the budget is overdrawn); LoadModel then returns kLoadUnreadable.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "reader/fast_scan.h"
#include "reader/model.h"
#include "reader/numbers.h"
#include "reader/text_file.h"
#include "reader/tokenizer.h"

struct MqoReader {
  Tokenizer tokenizer;
  Token token;
  // One unit per byte of text; every material, vertex, face and face corner the model holds
  // takes one. Nothing is refunded, so repeated chunks cannot exceed it either.
  uint64_t budget = 0;
  // Once the text is exhausted every read repeats the last token, so its numbers are parsed once:
  // a long quoted last token would otherwise be scanned again for each number a count expects.
  bool exhausted = false;
  std::optional<int32_t> lastInt;
  std::optional<float> lastReal;
  // Why a Read* function failed: counts beyond the budget, unless it says otherwise.
  LoadCause failure = kCauseOverCounted;
};

// Loads a text ReadTextFile read: unreadable when the file was shortened, grew or was rewritten
// meanwhile.
LoadResult LoadModelFromSource(Model& model, const SourceText& text, LoadFailure* failure);
// LoadModelFromText with the tokenizer's choices of `settings` (generalOnly, vectorMasks), for
// comparing the fast scanner with the general reading; `failure` says why a load failed.
LoadResult LoadModelFromText(Model& model, const char* text, size_t size, const Tokenizer& settings,
                             LoadFailure* failure = nullptr);

inline bool Next(MqoReader& reader) {
  if (reader.exhausted) return false;
  if (NextToken(reader.token, reader.tokenizer)) return true;
  reader.exhausted = true;  // the tokenizer never reads again once its text has ended
  return false;
}
// True once a read has found the end of the text.
inline bool Exhausted(const MqoReader& reader) {
  return reader.exhausted;
}
inline std::string_view Current(const MqoReader& reader) {
  return reader.token.view;
}
inline bool Quoted(const MqoReader& reader) {
  return reader.tokenizer.quoted != 0;
}

inline int32_t Parse(std::string_view text, int32_t*) {
  return ParseInt(text);
}
inline float Parse(std::string_view text, float*) {
  return ParseReal(text);
}
inline std::optional<int32_t>& Last(MqoReader& reader, int32_t*) {
  return reader.lastInt;
}
inline std::optional<float>& Last(MqoReader& reader, float*) {
  return reader.lastReal;
}

// Reads `count` numbers as as many tokens and conversions: runs of short numbers by the fast
// scanner, anything else a token at a time. Numbers are read without testing for the end of the
// text: there the last token repeats.
template <typename Value>
void NextNumbers(MqoReader& reader, Value* values, size_t count) {
  for (size_t read = 0; read < count;) {
    if (!reader.exhausted) {
      read += ReadNumberRun(reader.token, reader.tokenizer, values + read, count - read);
    }
    if (read == count) return;
    if (Next(reader)) {
      values[read++] = Parse(Current(reader), values);
    } else {
      std::optional<Value>& last = Last(reader, values);
      if (!last) last = Parse(Current(reader), values);
      std::fill(values + read, values + count, *last);
      return;
    }
  }
}
inline int32_t NextInt(MqoReader& reader) {
  int32_t value = 0;
  NextNumbers(reader, &value, 1);
  return value;
}
inline float NextReal(MqoReader& reader) {
  float value = 0;
  NextNumbers(reader, &value, 1);
  return value;
}

// A brace is an unquoted token beginning with "{" or "}"; a quoted text is never one.
inline bool OpensBrace(const MqoReader& reader) {
  return !Quoted(reader) && !Current(reader).empty() && Current(reader)[0] == '{';
}
inline bool ClosesBrace(const MqoReader& reader) {
  return !Quoted(reader) && !Current(reader).empty() && Current(reader)[0] == '}';
}

// A declared count: negative reads as 0.
inline uint32_t NextCount(MqoReader& reader) {
  const int32_t count = NextInt(reader);
  return count < 0 ? 0u : static_cast<uint32_t>(count);
}

inline bool Charge(MqoReader& reader, uint64_t units) {
  if (units > reader.budget) return false;
  reader.budget -= units;
  return true;
}

bool ReadMaterialChunk(MqoReader& reader, Model& model);
bool ReadObjectChunk(MqoReader& reader, MeshObject& object);
// Called right after "bvertex"; fails when the raw positions are missing, cut short or of the
// wrong size.
bool ReadBinaryVertexChunk(MqoReader& reader, MeshObject& object);
