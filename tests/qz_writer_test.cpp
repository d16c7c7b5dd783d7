// The QZ writer, byte for byte: the golden files data/golden/NAME.MODE.hex (annotated hex dumps)
// of the documents data/golden/NAME.mqo, then what no small document shows. Set
// VUV2EZ_UPDATE_GOLDEN=1 to rewrite the golden files after an intended change, and read the
// differences by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <limits>
#include <sstream>

#include "tests/support/golden_hex.h"
#include "tests/support/test_support.h"
#include "tools/qzdump/qz_file.h"
#include "writer/qz_format.h"
#include "writer/qz_writer.h"

namespace {

uint32_t Word(const std::vector<uint8_t>& b, size_t at) {
  uint32_t w = 0;
  if (at + 4 <= b.size()) std::memcpy(&w, b.data() + at, 4);
  return w;
}

// One hex row per field or group of fields of the file, with a comment naming it.
std::string AnnotatedHex(const std::vector<uint8_t>& b) {
  std::ostringstream out;
  size_t at = 0;
  auto row = [&](size_t length, const std::string& note) {
    for (size_t i = 0; i < length && at < b.size(); ++i, ++at)
      out << (i ? " " : "") << std::hex << std::setw(2) << std::setfill('0') << +b[at];
    out << std::dec << "  # " << note << "\n";
  };
  out << "# header\n";
  for (const char* field : {"magic", "version", "object table size", "object table offset",
                            "face data size", "face data offset", "texture table size",
                            "texture table offset", "2", "zero", "zero", "zero"})
    row(4, field);
  for (size_t j = 0; j < Word(b, 8) / sizeof(QzObjectEntry); ++j) {
    out << "# object " << j << "\n";
    row(32, "zero");
    row(16, "1.0 x4");
    row(12, "1, face count, first face, zero, next");
  }
  for (size_t i = 0; i < Word(b, 16) / sizeof(QzFaceRecord); ++i) {
    out << "# face " << i << "\n";
    for (const char* part : {"position ", "normal "}) {
      for (int s = 0; s < 4; ++s)
        row(16, part + std::to_string(s));
    }
    row(32, "uv x4");
    row(8, "colour, texture, zero");
  }
  if (at < b.size()) out << "# textures\n";
  while (at < b.size())
    row(16, "slot");
  return out.str();
}

TEST(QzWriter, GoldenFiles) {
  for (const char* name : {"empty", "object_order", "colour", "textures", "corners", "out_of_range",
                           "colour_limits", "cube", "shown"}) {
    for (const bool smooth : {true, false}) {
      const std::string hex = GoldenPath(name) + (smooth ? ".smooth.hex" : ".flat.hex");
      if (!smooth && ReadFile(hex).empty()) continue;  // only some have flat files
      Model model;
      ASSERT_EQ(LoadText(model, ReadFile(GoldenPath(name) + ".mqo")), kLoadOk) << name;
      const std::vector<uint8_t> actual = QzBytes(model, smooth);
      if (std::getenv("VUV2EZ_UPDATE_GOLDEN") != nullptr) WriteFile(hex, AnnotatedHex(actual));
      EXPECT_EQ(actual, ParseHex(ReadFile(hex))) << hex << "\nactual:\n" << AnnotatedHex(actual);
    }
  }
}

TEST(QzWriter, FaceCountKeepsLow16BitsWhileFirstFaceCountsAll) {
  std::string text = "Metasequoia\nObject \"big\" {\n vertex 3 {\n 0 0 0\n 1 0 0\n 0 1 0\n }\n";
  text += " face 70000 {\n";
  for (int i = 0; i < 70000; ++i)
    text += "3 V(0 1 2)\n";
  text += "}\n}\nObject \"small\" {\n face 1 {\n 1 V(0)\n }\n}\n";
  Model model;
  ASSERT_EQ(LoadText(model, text), kLoadOk);
  const std::vector<uint8_t> bytes = QzBytes(model, true);
  ASSERT_EQ(bytes.size(), 48u + 2 * 60 + 70001 * 168);
  // "small" first (read last): 1 face; "big": count 70000 mod 65536 = 4464, first face 1.
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 48 + 48, bytes.begin() + 48 + 60),
            (std::vector<uint8_t>{1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 108 + 48, bytes.begin() + 108 + 60),
            (std::vector<uint8_t>{1, 0, 0x70, 0x11, 1, 0, 0, 0, 0, 0, 0, 0}));
}

// With splitLongObjects an object takes an entry per 65,535 records, the last one the rest; the
// records themselves are those of the single entry, and qzdump's parser reads the entries back.
TEST(QzWriter, LongObjectsSplitIntoEntriesOfAtMost65535Records) {
  Model model;
  for (const uint32_t faces : {65536u, 0u, 65535u, 131071u}) {
    MeshObject& object = model.objects.emplace_back();
    object.vertices = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    for (uint32_t f = 0; f < faces; ++f) {
      object.faces.push_back(Face{0, 3, 3 * f});
      object.cornerIndices.insert(object.cornerIndices.end(),
                                  {0, int32_t(1 + f % 2), int32_t(2 - f % 2)});
    }
    object.cornerUvs.resize(2 * object.cornerIndices.size());
  }
  model.objects[2].cornerIndices[0] = 3;  // no two objects alike
  const std::vector<uint8_t> whole = QzBytes(model, true);
  const std::vector<uint8_t> split = QzBytes(model, WriteOptions{kSmoothNormals, true});
  auto entries = [](const std::vector<uint8_t>& bytes) {
    QzFile file;
    std::string error;
    std::ostringstream out;
    if (!ParseQz(bytes.data(), bytes.size(), file, error)) return error;
    for (const QzObjectRange& o : file.objects)
      out << o.entry.faceCount << "@" << o.entry.firstFace << ">" << o.entry.next << " ";
    return out.str();
  };
  EXPECT_EQ(entries(whole), "0@0>1 0@65536>2 65535@65536>3 65535@131071>0 ");
  EXPECT_EQ(entries(split),
            "65535@0>1 1@65535>2 0@65536>3 65535@65536>4 65535@131071>5 65535@196606>6 "
            "1@262141>0 ");
  const size_t records = 65536 + 65535 + 131071, tables = 48 + 60 * 4;
  ASSERT_EQ(whole.size(), tables + 168 * records);
  ASSERT_EQ(split.size(), whole.size() + 3 * 60);
  EXPECT_TRUE(std::equal(whole.begin() + tables, whole.end(), split.begin() + tables + 3 * 60));
  EXPECT_EQ(Word(split, 8), 7u * 60);
  EXPECT_EQ(Word(split, 20), 48u + 7 * 60);
}

TEST(QzWriter, AnObjectTableLargerThanTheWriteBufferComesWhole) {
  Model model;
  model.objects.resize(20000);  // 1.2 MB of entries, more than the 1 MiB the writer gathers
  const std::vector<uint8_t> bytes = QzBytes(model, true);
  ASSERT_EQ(bytes.size(), 48u + 60 * 20000);
  for (size_t j = 0; j < 20000; ++j) {
    QzObjectEntry entry;
    std::memcpy(&entry, bytes.data() + 48 + 60 * j, sizeof entry);
    ASSERT_EQ(entry.one[3], 1.0f) << j;
    ASSERT_EQ(entry.next, j + 1 < 20000 ? static_cast<uint16_t>(j + 1) : 0) << j;
  }
}

TEST(QzWriter, ColourOfValuesBeyondRangeSaturates) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    MaterialColour col;
    uint32_t colour;
  } cases[] = {
      {{1, 0.5f, 0, 1}, 0x00FF7F00u},         {{std::nanf(""), 0, 1, 1}, 0x000000FFu},
      {{inf, 0, 0, 1}, 0xFFFF0000u},      // 2^63 - 1, low 32 bits all set
      {{-inf, 0, 0, 1}, 0x00000000u},     // -2^63, low 32 bits zero
      {{0, 0, 0x1p55f, 1}, 0x00000000u},  // 255 * 2^55 = 2^63 - 2^55 fits: low 32 bits zero
      {{0, 0, 0x1p56f, 1}, 0xFFFFFFFFu},  // 255 * 2^56 does not: 2^63 - 1
      {{-0.5f, -1, -0.004f, 1}, 0xFF8000FFu},
  };
  for (const auto& c : cases) {
    Model model;
    model.materials = {Material{}};
    model.materials[0].col = c.col;
    model.objects = {MeshObject{"o", {{0, 0, 0, 1}}, {Face{0, 1, 0}}, {0}, {0, 0}}};
    EXPECT_EQ(Word(QzBytes(model, true), 108 + 160), c.colour) << c.col.r << " " << c.col.b;
  }
}

TEST(QzWriter, FailingSinkFails) {
  Model model;
  ASSERT_EQ(LoadText(model, ReadFile(GoldenPath("cube.mqo"))), kLoadOk);
  EXPECT_FALSE(WriteQz(model, WriteOptions{},
                       QzSink{[](void*, const void*, size_t) { return false; }, nullptr}));
}

}  // namespace
