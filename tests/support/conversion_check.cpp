// The checks behind the fuzz targets and the regression tests.
#include "tests/support/conversion_check.h"

#include <filesystem>

#include "tests/support/test_support.h"
#include "tools/qzdump/qz_file.h"
#include "tools/qzdump/rasterise.h"
#include "writer/bake.h"
#include "writer/qz_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

// What baking may use in a check: enough for what a fuzzed input's budget can ask at a few times
// over, well inside libFuzzer's own memory limit.
constexpr uint64_t kBakingMemory = uint64_t{256} << 20;

// The options of an input: bits of a hash of its bytes, so that a saved input picks the same ones
// again.
uint32_t Pick(const uint8_t* data, size_t size) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < size; ++i)
    h = (h ^ data[i]) * 16777619u;
  return h;
}

// A failed load leaves the model empty; a loaded one is sound (ValidateModel) and holds no more
// units (materials, vertices, faces, corners) than `budget`.
std::string CheckLoaded(LoadResult result, const Model& model, uint64_t budget) {
  if (result != kLoadOk && result != kLoadUnreadable && result != kLoadNotMqo) return "bad result";
  if (result != kLoadOk) {
    const bool empty = model.materials.empty() && model.objects.empty() && !model.textureCount;
    return empty ? "" : "a failed load left a model behind";
  }
  if (const ModelFault fault = ValidateModel(model); fault != kModelSound) {
    return "the model is malformed (fault " + std::to_string(fault) + ")";
  }
  uint64_t held = model.materials.size();
  for (const MeshObject& object : model.objects)
    held += object.vertices.size() + object.faces.size() + object.cornerIndices.size();
  return held <= budget ? "" : "the model holds " + std::to_string(held) + " units";
}

// What WriteQz gives for the model, checked: the size the counts imply, read back by qzdump's
// parser and drawn as a small picture; a file past the format's 32-bit sizes is refused before
// anything is written.
std::string WriteToMemory(const Model& model, const WriteOptions& options, Bytes& bytes,
                          bool& fits) {
  uint64_t records = 0, entries = 0;
  for (const MeshObject& object : model.objects) {
    uint64_t own = 0;
    for (const Face& face : object.faces)
      own += QzRecordsOf(face);
    records += own;
    entries += QzEntriesOf(own, options.splitLongObjects);
  }
  const uint64_t expected = sizeof(QzHeader) + sizeof(QzObjectEntry) * entries +
                            sizeof(QzFaceRecord) * records +
                            kQzTextureSlotSize * static_cast<uint64_t>(model.textureCount);
  fits = expected <= UINT32_MAX;
  if (!fits) {  // refused before a first byte reaches the sink
    bool wrote = false;
    const QzSink sink{[](void* c, const void*, size_t) { return !(*static_cast<bool*>(c) = true); },
                      &wrote};
    return WriteQz(model, options, sink) || wrote ? "a file past 4 GiB was written" : "";
  }
  bytes = QzBytes(model, options);  // empty when WriteQz fails
  if (bytes.size() != expected) return "WriteQz wrote the wrong size";
  QzFile file;
  std::string error;
  if (!ParseQz(bytes.data(), bytes.size(), file, error)) return "written file is invalid: " + error;
  if (file.objects.size() != entries || file.faces.size() != records) {
    return "written file holds other counts than the model";
  }
  for (const QzObjectRange& range : file.objects) {
    if (options.splitLongObjects && range.records != range.entry.faceCount)
      return "a split object's entry holds a wrapped count";
  }
  // Whatever numbers the records hold, qzdump draws them (the sanitizers watch the rasteriser).
  if (DrawPicture(file, PictureView::kIso, kSmallestPicture).rgb.size() !=
      3 * kSmallestPicture * kSmallestPicture) {
    return "the picture of the written file has the wrong size";
  }
  return {};
}

// WriteModel writes into `folder`, in both modes (the second replacing the first), exactly what
// WriteQz gives, and leaves nothing there but `source` and its output.
std::string CheckWrites(const Model& model, const std::string& folder, const std::string& source) {
  const std::string output = folder + "/out.qz";
  for (const bool smooth : {true, false}) {
    Bytes expected;
    bool fits = false;
    const WriteOptions options{smooth ? kSmoothNormals : kFlatNormals};
    std::string error = WriteToMemory(model, options, expected, fits);
    if (WriteModel(model, output.c_str(), options) != (fits ? 0 : 1))
      error += " WriteModel's status";
    if (fits && ReadFile(output) != std::string(expected.begin(), expected.end()))
      error += " the file differs from WriteQz's bytes";
    std::string held;
    for (const std::string& name : Listing(folder))
      held += " " + name;
    const std::string wanted = (source.empty() ? "" : " " + source) + (fits ? " out.qz" : "");
    if (held != wanted) error += " the folder holds" + held;
    if (!error.empty()) return (smooth ? "smooth: " : "flat: ") + error;
  }
  std::filesystem::remove(output);
  return {};
}

}  // namespace

std::string CheckTextConversion(const uint8_t* data, size_t size, const std::string& folder) {
  Model model;
  const LoadResult result = LoadModelFromText(model, reinterpret_cast<const char*>(data), size);
  std::string error = CheckLoaded(result, model, size);
  if (!error.empty() || result != kLoadOk) return error;
  error = CheckWrites(model, folder, "");
  if (!error.empty()) return error;
  // Converted with the options the input's bytes pick, as the command line's do: hidden objects
  // left out (--visible-only); baked (lathe, mirror, subdivision, as --lathe, --mirror and
  // --subdivide do), the model stays well formed and writes whole, or baking stops, changing
  // nothing written, because the result would be too large (it may hold many times the units);
  // written with any normals, long objects split or not.
  const uint32_t pick = Pick(data, size);
  if (pick & 8u) {
    std::erase_if(model.objects, [](const MeshObject& object) { return !object.visible; });
  }
  const BakeOptions options{(pick >> 29 & 1u) != 0, (pick >> 30 & 1u) != 0, (pick >> 31) != 0};
  const BakeReport report = BakeModel(model, options, kBakingMemory);
  if (report.failure != kWriteCauseNone) {
    const bool large =
        report.failure == kWriteCauseTooLarge || report.failure == kWriteCauseTooLargeForMemory;
    return large ? "" : "baking failed for another reason than size";
  }
  error = CheckLoaded(kLoadOk, model, UINT64_MAX);
  const WriteOptions write{static_cast<NormalMode>(pick % 3), (pick & 16u) != 0};
  Bytes bytes;
  bool fits = false;
  if (error.empty()) error = WriteToMemory(model, write, bytes, fits);
  return error.empty() ? "" : "baked (options " + std::to_string(pick) + "): " + error;
}

std::string CheckFileConversion(const uint8_t* data, size_t size, const std::string& folder) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // A zipped document's budget is its inflated text, at most 64 times the archive.
  const bool zipped = input.starts_with("PK\x03\x04");
  for (const std::string name : {"input.mqo", "input.mqoz"}) {
    const std::string source = folder + "/" + name;
    WriteFile(source, input);
    Model model;
    const LoadResult result = LoadModel(model, source.c_str());
    std::string error = CheckLoaded(result, model, zipped ? 64 * uint64_t{size} : size);
    if (error.empty() && result == kLoadOk) error = CheckWrites(model, folder, name);
    if (error.empty() && ReadFile(source) != input) error = "the source changed";
    std::filesystem::remove(source);
    if (!error.empty()) return name + ": " + error;
  }
  return {};
}
