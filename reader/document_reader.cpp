// LoadModel and FreeModel: the document's top level. Only "eof", "material" and "object" mean
// anything here, and only outside braces; every other chunk is skipped whole.
#include <algorithm>
#include <exception>

#include "reader/model.h"
#include "reader/mqo_reader.h"
#include "reader/text_file.h"

namespace {

LoadResult ReadDocument(MqoReader& reader, Model& model) {
  if (!Next(reader) || Current(reader) != "metasequoia") return kLoadNotMqo;
  uint32_t depth = 0;
  while (Next(reader)) {
    if (OpensBrace(reader)) {
      ++depth;
    } else if (ClosesBrace(reader)) {
      if (depth > 0) --depth;
    } else if (depth == 0) {
      const std::string_view token = Current(reader);
      if (token == "eof") break;
      if (token == "material") {
        if (!ReadMaterialChunk(reader, model)) return kLoadUnreadable;
      } else if (token == "object") {
        model.objects.emplace_back();
        if (!ReadObjectChunk(reader, model.objects.back())) return kLoadUnreadable;
      }
    }
  }
  // Objects were appended in reading order; the model keeps the last one first.
  std::reverse(model.objects.begin(), model.objects.end());
  return kLoadOk;
}

}  // namespace

LoadResult LoadModelFromText(Model& model, const char* text, size_t size, const Tokenizer& settings,
                             LoadFailure* failure) {
  FreeModel(model);
  LoadResult result = kLoadUnreadable;
  LoadCause cause = kCauseTooLarge;  // no memory for what the text asks
  try {
    MqoReader reader;
    reader.tokenizer.generalOnly = settings.generalOnly;
    reader.tokenizer.vectorMasks = settings.vectorMasks;
    AimTokenizer(reader.tokenizer, text, size);
    reader.budget = size;
    result = ReadDocument(reader, model);
    cause = reader.failure;
  } catch (const std::exception&) {
    result = kLoadUnreadable;
  }
  if (result != kLoadOk) FreeModel(model);
  if (result == kLoadUnreadable && failure != nullptr) *failure = LoadFailure{cause};
  return result;
}

LoadResult LoadModelFromText(Model& model, const char* text, size_t size) {
  return LoadModelFromText(model, text, size, Tokenizer{});
}

LoadResult LoadModelFromSource(Model& model, const SourceText& text, LoadFailure* failure) {
  const LoadResult result = LoadModelFromText(model, text.data, text.size, Tokenizer{}, failure);
  const LoadFailure recheck = RecheckFile(text);
  if (recheck.cause == kCauseNone) return result;
  FreeModel(model);  // the file was shortened, grew or was rewritten while it was read
  if (failure != nullptr) *failure = recheck;
  return kLoadUnreadable;
}

LoadResult LoadModel(Model& model, const char* path, LoadFailure* failure) {
  FreeModel(model);
  LoadFailure why;
  try {
    SourceText text;
    if (ReadTextFile(path, text, why)) return LoadModelFromSource(model, text, failure);
  } catch (const std::exception&) {
    why = LoadFailure{kCauseTooLarge};  // no memory for the file's bytes
  }
  if (failure != nullptr) *failure = why;
  return kLoadUnreadable;
}

void FreeModel(Model& model) {
  model = Model{};
}
