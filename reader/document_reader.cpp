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

LoadResult LoadModelFromText(Model& model, const char* text, size_t size,
                             const Tokenizer& settings) {
  FreeModel(model);
  LoadResult result = kLoadUnreadable;
  try {
    MqoReader reader;
    reader.tokenizer.generalOnly = settings.generalOnly;
    reader.tokenizer.vectorMasks = settings.vectorMasks;
    AimTokenizer(reader.tokenizer, text, size);
    reader.budget = size;
    result = ReadDocument(reader, model);
  } catch (const std::exception&) {
    result = kLoadUnreadable;  // no memory for what the text asks
  }
  if (result != kLoadOk) FreeModel(model);
  return result;
}

LoadResult LoadModelFromText(Model& model, const char* text, size_t size) {
  return LoadModelFromText(model, text, size, Tokenizer{});
}

LoadResult LoadModelFromSource(Model& model, const SourceText& text) {
  const LoadResult result = LoadModelFromText(model, text.data, text.size);
  if (!Truncated(text)) return result;
  FreeModel(model);  // the file was shortened while it was read
  return kLoadUnreadable;
}

LoadResult LoadModel(Model& model, const char* path) {
  FreeModel(model);
  try {
    SourceText text;
    return ReadTextFile(path, text) ? LoadModelFromSource(model, text) : kLoadUnreadable;
  } catch (const std::exception&) {
    return kLoadUnreadable;  // no memory for the file's bytes
  }
}

void FreeModel(Model& model) {
  model = Model{};
}
