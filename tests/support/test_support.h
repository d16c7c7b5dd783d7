// Helpers shared by the tests and the fuzz targets: loading a model from an exact-size copy of a
// text, writing it to memory, a canonical text description of a model to compare against, and
// scratch folders.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reader/model.h"
#include "writer/qz_writer.h"

// The bytes of `text` in a heap buffer of exactly their size, as the reader gets a file read into
// memory: a read one byte past the end is then an error AddressSanitizer reports, where the zero
// that ends a std::string (or the bytes after a view into one) would hide it. Every test hands
// the reader its text through this copy.
std::unique_ptr<char[]> ExactCopy(std::string_view text);

// LoadModelFromText over an ExactCopy of `text`.
LoadResult LoadText(Model& model, std::string_view text);

// The QZ bytes of `model`, written to memory; empty when WriteQz fails.
std::vector<uint8_t> QzBytes(const Model& model, const WriteOptions& options);
// The same with the default options, but for smooth or flat normals.
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
