// The Material chunk: a count, then per material a quoted name followed by its properties.
// Only col, tex, dif, amb, emi, spc and power are read; everything else is skipped.
#include "reader/mqo_reader.h"

bool ReadMaterialChunk(MqoReader& reader, Model& model) {
  const uint32_t count = NextCount(reader);
  if (!Charge(reader, count)) return false;
  model.textureCount = 0;
  model.materials.assign(count, Material{});  // a later chunk replaces an earlier table

  size_t nextFree = 0;
  Material* current = nullptr;
  int32_t previousBreak = 0;
  while (Next(reader) && !ClosesBrace(reader)) {
    const std::string_view token = Current(reader);
    if (Quoted(reader)) {
      if (previousBreak == '(') {
        // The argument of a property this reader does not use, such as bump("...").
      } else if (nextFree < model.materials.size()) {
        current = &model.materials[nextFree++];
        current->name = token;
      } else {
        current = nullptr;  // the table is full: this material and its properties are dropped
      }
    } else if (current == nullptr) {
      // Properties before the first name, or after the table is full: skipped, arguments too.
    } else if (token == "col") {
      current->col.r = NextReal(reader);
      current->col.g = NextReal(reader);
      current->col.b = NextReal(reader);
      current->col.a = NextReal(reader);
    } else if (token == "tex") {
      Next(reader);
      current->textureName = Current(reader);
      current->textureIndex = model.textureCount++;
    } else if (token == "dif") {
      current->dif = NextReal(reader);
    } else if (token == "amb") {
      current->amb = NextReal(reader);
    } else if (token == "emi") {
      current->emi = NextReal(reader);
    } else if (token == "spc") {
      current->spc = NextReal(reader);
    } else if (token == "power") {
      current->power = NextReal(reader);
    }
    previousBreak = reader.tokenizer.breakChar;  // of the last token this turn read
  }
  return true;
}
