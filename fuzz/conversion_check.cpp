// The checks behind the fuzz targets and the regression tests.
#include "fuzz/conversion_check.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "reader/model.h"
#include "tools/qzdump/qz_file.h"
#include "writer/qz_format.h"
#include "writer/qz_writer.h"

namespace {

// A face of k corners takes one record up to four corners, and one more per two corners after.
uint64_t RecordsOf(const Face& face) {
  return face.vertexCount <= 4 ? 1 : 1 + static_cast<uint64_t>(face.vertexCount - 3) / 2;
}

// `budget` is the most units the model may hold.
std::string CheckModel(const Model& model, uint64_t budget) {
  if (model.textureCount < 0) return "negative texture count";
  uint64_t held = model.materials.size();
  for (const Material& material : model.materials) {
    if (material.textureIndex < -1 || material.textureIndex >= model.textureCount) {
      return "texture number " + std::to_string(material.textureIndex) + " outside the table";
    }
  }
  for (const MeshObject& object : model.objects) {
    if (object.cornerUvs.size() != 2 * object.cornerIndices.size()) {
      return "object \"" + object.name + "\": texture coordinates do not match its corners";
    }
    uint64_t corner = 0;
    for (const Face& face : object.faces) {
      if (face.vertexCount < 1) return "a face of fewer than one corner";
      if (face.firstCorner != corner) return "faces do not follow one another";
      corner += static_cast<uint64_t>(face.vertexCount);
    }
    if (corner != object.cornerIndices.size()) return "corners that no face owns";
    for (const Vec4& v : object.vertices) {
      if (v.w != 1.0f) return "a vertex whose w is not 1";
    }
    held += object.vertices.size() + object.faces.size() + object.cornerIndices.size();
  }
  if (held > budget) {
    return "the model holds " + std::to_string(held) + " units for a budget of " +
           std::to_string(budget);
  }
  return {};
}

bool AppendBytes(void* context, const void* bytes, size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* p = static_cast<const uint8_t*>(bytes);
  out->insert(out->end(), p, p + size);
  return true;
}

// The bytes WriteQz gives, or an error; `written` is false when the file would not fit the
// format's 32-bit sizes, which is then checked to be the case.
std::string WriteToMemory(const Model& model, bool smooth, std::vector<uint8_t>& bytes,
                          bool& written) {
  uint64_t records = 0;
  for (const MeshObject& object : model.objects) {
    for (const Face& face : object.faces)
      records += RecordsOf(face);
  }
  const uint64_t expected = sizeof(QzHeader) + sizeof(QzObjectEntry) * model.objects.size() +
                            sizeof(QzFaceRecord) * records +
                            kQzTextureSlotSize * static_cast<uint64_t>(model.textureCount);
  if (expected > UINT32_MAX) {
    // Too large for the format: refused before anything is written.
    bytes.clear();
    written = WriteQz(model, smooth, QzSink{AppendBytes, &bytes});
    if (written || !bytes.empty()) return "a file past 4 GiB was written";
    return {};
  }
  bytes.clear();
  bytes.reserve(static_cast<size_t>(expected));
  written = WriteQz(model, smooth, QzSink{AppendBytes, &bytes});
  if (!written) return "WriteQz failed on a model that fits";
  if (bytes.size() != expected) {
    return "wrote " + std::to_string(bytes.size()) + " bytes instead of " +
           std::to_string(expected);
  }
  QzFile file;
  std::string error;
  if (!ParseQz(bytes.data(), bytes.size(), file, error)) return "written file is invalid: " + error;
  if (file.objects.size() != model.objects.size() || file.faces.size() != records) {
    return "written file holds other counts than the model";
  }
  return {};
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return false;
  uint8_t chunk[65536];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  const bool ok = std::ferror(in) == 0;
  std::fclose(in);
  return ok;
}

bool WriteWholeFile(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, out) == size;
  return std::fclose(out) == 0 && written;
}

// The names in `folder`, sorted and joined by spaces.
std::string Listing(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    names.push_back(entry.path().filename().string());
  if (error) return "(unreadable)";
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string& name : names)
    joined += joined.empty() ? name : " " + name;
  return joined;
}

// Writes the model into `folder` in both modes and compares with what WriteQz gave. `source`
// names the one file, if any, that the folder holds besides the output.
std::string CheckWrites(const Model& model, const std::string& folder, const std::string& source) {
  const std::string output = folder + "/out.qz";
  for (const bool smooth : {true, false}) {
    const std::string mode = smooth ? "smooth: " : "flat: ";
    std::vector<uint8_t> expected;
    bool fits = false;
    const std::string error = WriteToMemory(model, smooth, expected, fits);
    if (!error.empty()) return mode + error;
    if (WriteModel(model, output.c_str(), smooth) != (fits ? 0 : 1)) {
      return mode + "WriteModel returned the wrong status";
    }
    std::vector<uint8_t> written;
    if (fits && (!ReadWholeFile(output, written) || written != expected)) {
      return mode + "the file differs from what WriteQz gives";
    }
    // Only the source and the output: no temporary file, nothing else.
    std::vector<std::string> wanted;
    if (!source.empty()) wanted.push_back(source);
    if (fits) wanted.push_back("out.qz");
    std::sort(wanted.begin(), wanted.end());
    std::string joined;
    for (const std::string& name : wanted)
      joined += joined.empty() ? name : " " + name;
    const std::string listing = Listing(folder);
    if (listing != joined) return mode + "the folder holds \"" + listing + "\"";
  }
  std::remove(output.c_str());
  return {};
}

std::string CheckLoaded(LoadResult result, const Model& model, uint64_t budget) {
  if (result != kLoadOk && result != kLoadUnreadable && result != kLoadNotMqo) {
    return "LoadModel returned " + std::to_string(static_cast<int>(result));
  }
  if (result != kLoadOk) {
    if (!model.materials.empty() || !model.objects.empty() || model.textureCount != 0) {
      return "a failed load left a model behind";
    }
    return {};
  }
  return CheckModel(model, budget);
}

}  // namespace

std::string CheckTextConversion(const uint8_t* data, size_t size, const std::string& folder) {
  Model model;
  const LoadResult result = LoadModelFromText(model, reinterpret_cast<const char*>(data), size);
  std::string error = CheckLoaded(result, model, size);
  if (error.empty() && result == kLoadOk) error = CheckWrites(model, folder, "");
  return error;
}

std::string CheckFileConversion(const uint8_t* data, size_t size, const std::string& folder) {
  for (const char* name : {"input.mqo", "input.mqoz"}) {
    const std::string source = folder + "/" + name;
    if (!WriteWholeFile(source, data, size)) return "cannot save the input";
    Model model;
    const LoadResult result = LoadModel(model, source.c_str());
    // A zipped document's budget is its inflated text, at most 64 times the archive.
    const bool zipped = size >= 4 && std::memcmp(data, "PK\x03\x04", 4) == 0;
    std::string error = CheckLoaded(result, model, zipped ? 64 * uint64_t{size} : size);
    if (error.empty() && result == kLoadOk) error = CheckWrites(model, folder, name);
    std::vector<uint8_t> after;
    if (error.empty() &&
        (!ReadWholeFile(source, after) || after != std::vector<uint8_t>(data, data + size))) {
      error = std::string(name) + ": the source changed";
    }
    std::remove(source.c_str());
    if (!error.empty()) return std::string(name) + ": " + error;
  }
  return {};
}
