// Helpers shared by the tests and the fuzz targets: loading a model from text, writing it to
// memory, a canonical text description of a model to compare against, and scratch folders.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reader/model.h"

LoadResult LoadText(Model& model, std::string_view text);

// The QZ bytes of `model`, written to memory.
std::vector<uint8_t> QzBytes(const Model& model, bool smooth);

// One line per material and per object, listing what the output depends on, e.g.
//   material "wood" tex 0 "wood.bmp" col 1 1 1 1
//   object "box" vertices 8 faces 6: 4[0 1 2 3]m0 ...
std::string Describe(const Model& model);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view bytes);
// The names in `folder`, sorted.
std::vector<std::string> Listing(const std::string& folder);

// A new empty folder under the system's temporary folder, removed with everything in it when the
// object goes.
struct ScratchFolder {
  std::string path;
  ScratchFolder();
  ~ScratchFolder();
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::vector<std::string> Entries() const { return Listing(path); }
};
