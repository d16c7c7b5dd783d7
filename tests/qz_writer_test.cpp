// The QZ writer, checked byte for byte against golden files: annotated hex dumps in
// data/golden/NAME.MODE.hex of the documents data/golden/NAME.mqo. Set VUV2EZ_UPDATE_GOLDEN=1 to
// rewrite them after an intended change, then read the differences by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>

#include "tests/golden_hex.h"
#include "tests/test_support.h"
#include "writer/qz_format.h"
#include "writer/qz_writer.h"

namespace {

const std::string kGolden = std::string(VUV2EZ_TEST_DATA) + "/golden/";

uint32_t Word(const std::vector<uint8_t>& b, size_t at) {
  uint32_t w = 0;
  if (at + 4 <= b.size()) std::memcpy(&w, b.data() + at, 4);
  return w;
}

// Hex bytes, one table row per line, with a comment naming what the row holds.
std::string AnnotatedHex(const std::vector<uint8_t>& b) {
  std::ostringstream out;
  size_t at = 0;
  auto row = [&](size_t length, const std::string& note) {
    char hex[4];
    for (size_t i = 0; i < length && at < b.size(); ++i, ++at) {
      std::snprintf(hex, sizeof hex, "%02x", b[at]);
      out << (i ? " " : "") << hex;
    }
    out << "  # " << note << "\n";
  };
  out << "# header\n";
  for (const char* field : {"magic", "version", "object table size", "object table offset",
                            "face data size", "face data offset", "texture table size",
                            "texture table offset", "2", "zero", "zero", "zero"}) {
    row(4, field);
  }
  const size_t objects = Word(b, 8) / sizeof(QzObjectEntry);
  for (size_t j = 0; j < objects; ++j) {
    out << "# object " << j << "\n";
    row(32, "zero");
    row(16, "1.0 x4");
    row(12, "1, face count, first face, zero, next");
  }
  const size_t faces = Word(b, 16) / sizeof(QzFaceRecord);
  for (size_t i = 0; i < faces; ++i) {
    out << "# face " << i << "\n";
    for (int s = 0; s < 4; ++s)
      row(16, "position " + std::to_string(s));
    for (int s = 0; s < 4; ++s)
      row(16, "normal " + std::to_string(s));
    row(32, "uv x4");
    row(8, "colour, texture, zero");
  }
  if (at < b.size()) out << "# textures\n";
  while (at < b.size())
    row(16, "slot");
  return out.str();
}

// What data/golden/NAME.mqo converts to.
std::vector<uint8_t> Converted(const std::string& name, bool smooth) {
  Model model;
  EXPECT_EQ(LoadText(model, ReadFile(kGolden + name + ".mqo")), kLoadOk) << name;
  return QzBytes(model, smooth);
}

void CheckGolden(const std::string& name, bool smooth) {
  const std::string hexPath = kGolden + name + (smooth ? ".smooth" : ".flat") + ".hex";
  const std::vector<uint8_t> actual = Converted(name, smooth);
  if (std::getenv("VUV2EZ_UPDATE_GOLDEN") != nullptr) WriteFile(hexPath, AnnotatedHex(actual));
  const std::string golden = ReadFile(hexPath);
  ASSERT_FALSE(golden.empty()) << "missing " << hexPath;
  EXPECT_EQ(actual, ParseHex(golden)) << hexPath << "\nactual:\n" << AnnotatedHex(actual);
}

TEST(QzWriter, GoldenFiles) {
  for (const char* name : {"empty", "object_order", "colour", "textures", "corners", "out_of_range",
                           "colour_limits", "cube"}) {
    CheckGolden(name, true);
  }
  for (const char* name : {"cube", "corners", "out_of_range"})
    CheckGolden(name, false);
}

// Spot checks of the golden files' key bytes, so a regenerated golden cannot drift unnoticed.
TEST(QzWriter, KeyBytes) {
  const std::vector<uint8_t> empty = Converted("empty", true);
  const std::vector<uint8_t> expected = {0x51, 0x5A, 0x46, 0, 0,  2, 0, 0, 0, 0, 0, 0, 48, 0, 0, 0,
                                         0,    0,    0,    0, 48, 0, 0, 0, 0, 0, 0, 0, 48, 0, 0, 0,
                                         2,    0,    0,    0, 0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0};
  EXPECT_EQ(empty, expected);

  const std::vector<uint8_t> colour = Converted("colour", true);
  ASSERT_EQ(colour.size(), 48u + 60 + 168);
  EXPECT_EQ(std::vector<uint8_t>(colour.begin() + 108 + 160, colour.begin() + 108 + 168),
            (std::vector<uint8_t>{0x00, 0x7F, 0xFF, 0x00, 0xFF, 0xFF, 0, 0}));

  const std::vector<uint8_t> textures = Converted("textures", true);
  ASSERT_GE(textures.size(), 64u);
  const std::string table(textures.end() - 64, textures.end());
  EXPECT_EQ(table, std::string("wood\0bmp\0\0\0\0\0\0\0\0", 16) +
                       std::string("tex\\brick.old\0bmp", 17).substr(0, 16) +
                       std::string(16, '\0') + std::string("kept_long_name_1", 16));

  const std::vector<uint8_t> order = Converted("object_order", true);
  ASSERT_GE(order.size(), 108u + 60);
  // B (3 faces) first: count 3, first 0, next 1; then A: count 2, first 3, next 0.
  EXPECT_EQ(std::vector<uint8_t>(order.begin() + 48 + 48, order.begin() + 48 + 60),
            (std::vector<uint8_t>{1, 0, 3, 0, 0, 0, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(std::vector<uint8_t>(order.begin() + 108 + 48, order.begin() + 108 + 60),
            (std::vector<uint8_t>{1, 0, 2, 0, 3, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(QzWriter, FaceCountKeepsLow16BitsWhileFirstFaceCountsAll) {
  std::string text =
      "Metasequoia\nObject \"big\" {\n vertex 3 {\n 0 0 0\n 1 0 0\n 0 1 0\n }\n face 70000 {\n";
  for (int i = 0; i < 70000; ++i)
    text += "3 V(0 1 2)\n";
  text += "}\n}\nObject \"small\" {\n face 1 {\n 1 V(0)\n }\n}\n";
  Model model;
  ASSERT_EQ(LoadText(model, text), kLoadOk);
  const std::vector<uint8_t> bytes = QzBytes(model, true);
  ASSERT_EQ(bytes.size(), 48u + 2 * 60 + 70001 * 168);
  EXPECT_EQ(Word(bytes, 16), 70001u * 168);
  // "small" first (read last): 1 face; "big": count 70000 mod 65536 = 4464, first face 1.
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 48 + 48, bytes.begin() + 48 + 60),
            (std::vector<uint8_t>{1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 108 + 48, bytes.begin() + 108 + 60),
            (std::vector<uint8_t>{1, 0, 0x70, 0x11, 1, 0, 0, 0, 0, 0, 0, 0}));
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
    model.materials.push_back(Material{});
    model.materials[0].col = c.col;
    model.objects.push_back(MeshObject{});
    model.objects[0].vertices = {{0, 0, 0, 1}};
    model.objects[0].faces = {Face{0, 1, 0}};
    model.objects[0].cornerIndices = {0};
    model.objects[0].cornerUvs = {0, 0};
    const std::vector<uint8_t> bytes = QzBytes(model, true);
    ASSERT_EQ(bytes.size(), 48u + 60 + 168);
    EXPECT_EQ(Word(bytes, 108 + 160), c.colour) << c.col.r << " " << c.col.g << " " << c.col.b;
  }
}

TEST(QzWriter, FailingSinkFails) {
  Model model;
  ASSERT_EQ(LoadText(model, ReadFile(kGolden + "cube.mqo")), kLoadOk);
  QzSink failing{[](void*, const void*, size_t) { return false; }, nullptr};
  EXPECT_FALSE(WriteQz(model, true, failing));
}

}  // namespace
