// qzdump: shows what a QZ model file holds, as stable text or as a Wavefront OBJ.
//
//   qzdump FILE.qz              header, object table, texture table and every face record
//   qzdump --summary FILE.qz    counts, sizes and textures only, and the records that show no
//                               surface (fewer than three distinct corner positions)
//   qzdump --obj OUT.obj FILE.qz
//   qzdump --png OUT.png [--size N] [--view front|back|left|right|top|iso] FILE.qz
//                               a picture of every record, N pixels a side (16 to 4096, 512 when
//                               not given), seen from the view (iso when not given)
// Exit status: 0 done, 1 the file is unreadable or malformed (one line says why), 2 bad usage.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/qzdump/png_output.h"
#include "tools/qzdump/qz_file.h"

namespace {

const char kUsage[] =
    "usage: qzdump [--summary] FILE.qz\n"
    "       qzdump --obj OUT.obj FILE.qz\n"
    "       qzdump --png OUT.png [--size 16..4096] [--view front|back|left|right|top|iso] "
    "FILE.qz\n";

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  uint8_t chunk[65536];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  const bool ok = std::ferror(f) == 0;
  std::fclose(f);
  return ok;
}

void PrintSummary(const QzFile& file) {
  const QzHeader& h = file.header;
  std::printf("magic QZF version 0x%" PRIX32 " word 0x%" PRIX32 "\n", h.version, h.trailer);
  std::printf("objects %zu (table %" PRIu32 " bytes at %" PRIu32 ")\n", file.objects.size(),
              h.objectTableSize, h.objectTableOffset);
  std::printf("faces %zu (data %" PRIu32 " bytes at %" PRIu32 ")\n", file.faces.size(),
              h.faceDataSize, h.faceDataOffset);
  // A record whose corners hold fewer than three distinct positions shows no surface.
  size_t degenerate = 0;
  for (const QzFaceRecord& r : file.faces) {
    size_t distinct = 0;
    for (size_t i = 0; i < 4; ++i) {
      bool seen = false;
      for (size_t k = 0; k < i; ++k)
        seen = seen || std::memcmp(&r.positions[i], &r.positions[k], 12) == 0;
      distinct += !seen;
    }
    degenerate += distinct < 3;
  }
  std::printf("degenerate records %zu (fewer than three distinct positions)\n", degenerate);
  std::printf("textures %zu (table %" PRIu32 " bytes at %" PRIu32 ")\n", file.textures.size(),
              h.textureTableSize, h.textureTableOffset);
  for (size_t j = 0; j < file.objects.size(); ++j) {
    const QzObjectRange& o = file.objects[j];
    std::printf("object %zu: faces %" PRIu64 " (count field %u) first %" PRIu32 " next %u\n", j,
                o.records, o.entry.faceCount, o.entry.firstFace, o.entry.next);
  }
  for (size_t t = 0; t < file.textures.size(); ++t) {
    std::printf("texture %zu: \"%s\" [", t, TextureSlotName(file.textures[t]).c_str());
    for (size_t b = 0; b < kQzTextureSlotSize; ++b) {
      std::printf(b == 0 ? "%02X" : " %02X", file.textures[t][b]);
    }
    std::printf("]\n");
  }
}

void PrintVec4(const char* label, const Vec4& v) {
  std::printf(" %s(%.9g %.9g %.9g %.9g)", label, static_cast<double>(v.x), static_cast<double>(v.y),
              static_cast<double>(v.z), static_cast<double>(v.w));
}

void PrintFaces(const QzFile& file) {
  for (size_t i = 0; i < file.faces.size(); ++i) {
    const QzFaceRecord& r = file.faces[i];
    std::printf("face %zu: colour 0x%08" PRIX32 " texture %d\n", i, r.colour, r.texture);
    for (int s = 0; s < 4; ++s) {
      std::printf("  corner %d:", s);
      PrintVec4("position", r.positions[s]);
      PrintVec4("normal", r.normals[s]);
      std::printf(" uv(%.9g %.9g)\n", static_cast<double>(r.uvs[s][0]),
                  static_cast<double>(r.uvs[s][1]));
    }
  }
}

bool SameCorner(const QzFaceRecord& r, int a, int b) {
  return std::memcmp(&r.positions[a], &r.positions[b], sizeof(Vec4)) == 0 &&
         std::memcmp(&r.normals[a], &r.normals[b], sizeof(Vec4)) == 0 &&
         std::memcmp(r.uvs[a], r.uvs[b], sizeof r.uvs[a]) == 0;
}

bool WriteObj(const QzFile& file, const char* path) {
  std::FILE* out = std::fopen(path, "w");
  if (out == nullptr) return false;
  std::fprintf(out, "# written by qzdump\n");
  uint64_t corner = 1;  // OBJ indices start at 1; every corner gets its own v, vn and vt
  for (size_t j = 0; j < file.objects.size(); ++j) {
    std::fprintf(out, "g object%zu\n", j);
    const QzObjectRange& o = file.objects[j];
    for (uint64_t i = o.entry.firstFace; i < o.entry.firstFace + o.records; ++i) {
      const QzFaceRecord& r = file.faces[static_cast<size_t>(i)];
      for (int s = 0; s < 4; ++s) {
        const Vec4& p = r.positions[s];
        const Vec4& n = r.normals[s];
        std::fprintf(out, "v %.9g %.9g %.9g\nvn %.9g %.9g %.9g\nvt %.9g %.9g\n",
                     static_cast<double>(p.x), static_cast<double>(p.y), static_cast<double>(p.z),
                     static_cast<double>(n.x), static_cast<double>(n.y), static_cast<double>(n.z),
                     static_cast<double>(r.uvs[s][0]), static_cast<double>(r.uvs[s][1]));
      }
      const int corners = SameCorner(r, 2, 3) ? 3 : 4;
      std::fprintf(out, "f");
      for (int s = 0; s < corners; ++s) {
        const uint64_t k = corner + static_cast<uint64_t>(s);
        std::fprintf(out, " %" PRIu64 "/%" PRIu64 "/%" PRIu64, k, k, k);
      }
      std::fprintf(out, "\n");
      corner += 4;
    }
  }
  const bool ok = std::ferror(out) == 0;
  return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  bool summary = false;
  const char* objPath = nullptr;
  const char* pngPath = nullptr;
  int size = 512;
  PictureView view = PictureView::kIso;
  bool pictureOption = false;  // --size or --view, which need --png
  const char* input = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--summary") == 0) {
      summary = true;
    } else if (std::strcmp(argv[i], "--obj") == 0 && i + 1 < argc) {
      objPath = argv[++i];
    } else if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) {
      pngPath = argv[++i];
    } else if ((std::strcmp(argv[i], "--size") == 0 && i + 1 < argc &&
                ParsePictureSize(argv[i + 1], size)) ||
               (std::strcmp(argv[i], "--view") == 0 && i + 1 < argc &&
                ParsePictureView(argv[i + 1], view))) {
      pictureOption = true;
      ++i;
    } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (input == nullptr && (argv[i][0] != '-' || argv[i][1] == '\0')) {
      input = argv[i];
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (input == nullptr || (pictureOption && pngPath == nullptr)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(input, bytes)) {
    std::fprintf(stderr, "qzdump: %s: cannot be read\n", input);
    return 1;
  }
  QzFile file;
  std::string error;
  if (!ParseQz(bytes.data(), bytes.size(), file, error)) {
    std::fprintf(stderr, "qzdump: %s: %s\n", input, error.c_str());
    return 1;
  }
  if (objPath != nullptr) {
    if (!WriteObj(file, objPath)) {
      std::fprintf(stderr, "qzdump: %s: cannot be written\n", objPath);
      return 1;
    }
  }
  if (pngPath != nullptr && !WritePng(DrawPicture(file, view, size), pngPath)) {
    std::fprintf(stderr, "qzdump: %s: cannot be written\n", pngPath);
    return 1;
  }
  if (objPath != nullptr || pngPath != nullptr) return 0;
  PrintSummary(file);
  if (!summary) PrintFaces(file);
  return 0;
}
