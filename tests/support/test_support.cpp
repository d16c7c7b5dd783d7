// Shared test helpers.
#include "tests/support/test_support.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "writer/qz_writer.h"

std::unique_ptr<char[]> ExactCopy(std::string_view text) {
  auto copy = std::make_unique_for_overwrite<char[]>(text.size());
  if (!text.empty()) std::memcpy(copy.get(), text.data(), text.size());
  return copy;
}

LoadResult LoadText(Model& model, std::string_view text) {
  return LoadModelFromText(model, ExactCopy(text).get(), text.size());
}

std::vector<uint8_t> QzBytes(const Model& model, const WriteOptions& options) {
  std::vector<uint8_t> bytes;
  QzSink sink{[](void* context, const void* data, size_t size) {
                auto* out = static_cast<std::vector<uint8_t>*>(context);
                const auto* p = static_cast<const uint8_t*>(data);
                out->insert(out->end(), p, p + size);
                return true;
              },
              &bytes};
  if (!WriteQz(model, options, sink)) bytes.clear();
  return bytes;
}

std::vector<uint8_t> QzBytes(const Model& model, bool smooth) {
  return QzBytes(model, WriteOptions{smooth ? kSmoothNormals : kFlatNormals});
}

namespace {
std::string Number(float value) {
  std::ostringstream s;
  s << value;
  return s.str();
}
}  // namespace

std::string Describe(const Model& model) {
  std::ostringstream out;
  out << "textures " << model.textureCount << "\n";
  for (const Material& m : model.materials) {
    out << "material \"" << m.name << "\"";
    if (m.textureIndex >= 0) out << " tex " << m.textureIndex << " \"" << m.textureName << "\"";
    out << " col " << Number(m.col.r) << " " << Number(m.col.g) << " " << Number(m.col.b) << " "
        << Number(m.col.a) << "\n";
  }
  for (const MeshObject& o : model.objects) {
    out << "object \"" << o.name << "\" vertices " << o.vertices.size() << " faces "
        << o.faces.size() << ":";
    for (const Face& f : o.faces) {
      out << " " << f.vertexCount << "[";
      for (int32_t k = 0; k < f.vertexCount; ++k) {
        out << (k ? " " : "") << o.cornerIndices[f.firstCorner + static_cast<uint32_t>(k)];
      }
      out << "]m" << f.material;
    }
    out << "\n";
    if (!o.vertices.empty()) {
      out << " v";
      for (const Vec4& v : o.vertices) {
        out << (&v == o.vertices.data() ? " " : ", ") << Number(v.x) << " " << Number(v.y) << " "
            << Number(v.z) << (v.w == 1 ? "" : " w?");
      }
      out << "\n";
    }
    if (!o.cornerCreases.empty()) {
      out << " crs";
      for (const float c : o.cornerCreases)
        out << " " << Number(c);
      out << "\n";
    }
    const MeshObject plain;
    if (o.patch != plain.patch || o.segment != plain.segment || o.patchTri != plain.patchTri ||
        o.patchSmoothTri != plain.patchSmoothTri ||
        o.patchLimitSurface != plain.patchLimitSurface ||
        o.patchMeshInterp != plain.patchMeshInterp || o.patchUvInterp != plain.patchUvInterp) {
      out << " patch " << o.patch << " segment " << o.segment << " tri " << o.patchTri
          << " smoothtri " << o.patchSmoothTri << " limit " << o.patchLimitSurface << " meshinterp "
          << o.patchMeshInterp << " uvinterp " << o.patchUvInterp << "\n";
    }
    if (o.lathe != plain.lathe || o.latheAxis != plain.latheAxis ||
        o.latheSegments != plain.latheSegments) {
      out << " lathe " << o.lathe << " axis " << o.latheAxis << " seg " << o.latheSegments << "\n";
    }
    if (std::any_of(o.cornerUvs.begin(), o.cornerUvs.end(), [](float u) { return u != 0; })) {
      out << " uv";
      for (const float u : o.cornerUvs)
        out << " " << Number(u);
      out << "\n";
    }
  }
  return out.str();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ScratchFolder::ScratchFolder() {
  std::random_device seed;
  const auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto candidate = base / ("vuv2ez-test-" + std::to_string(seed()));
    if (std::filesystem::create_directory(candidate)) {
      path = candidate.string();
      return;
    }
  }
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
