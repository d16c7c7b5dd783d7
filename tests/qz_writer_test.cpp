// The QZ writer, byte for byte: the golden files data/golden/NAME.MODE.hex (annotated hex dumps)
// of the documents data/golden/NAME.mqo, then what no small document shows. Set
// VUV2EZ_UPDATE_GOLDEN=1 to rewrite the golden files after an intended change, and read the
// differences by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <limits>
#include <sstream>

#include "tests/support/golden_hex.h"
#include "tests/support/test_support.h"
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
                           "colour_limits", "cube"}) {
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
  EXPECT_FALSE(
      WriteQz(model, true, QzSink{[](void*, const void*, size_t) { return false; }, nullptr}));
}

}  // namespace
