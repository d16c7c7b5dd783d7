// BVertex chunks: raw little-endian floats inside a text document, whatever bytes they hold,
// with LF and CRLF line ends; the counts that must agree; data cut short.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

// Float bit patterns whose bytes hold what would end or derail a text: zero bytes, line feeds,
// braces, quotes, "Eof" and a closing brace at a line's start; also -0, infinity, a denormal and
// a NaN, which must come through bit for bit.
const std::vector<uint32_t> kBits = {
    0x00000000, 0x3F800000, 0xBF800000, 0x0A0A0A0A, 0x7B7D227B, 0x227D0A00, 0x7D000000, 0x80000000,
    0x7F800000, 0x00000001, 0x7FC00001, 0x0A666F45, 0x7D0A7D0A, 0x4048F5C3, 0x00227B00,
};

std::string Raw(const std::vector<uint32_t>& bits) {
  std::string raw;
  for (const uint32_t b : bits) {
    for (int shift = 0; shift < 32; shift += 8)
      raw += static_cast<char>((b >> shift) & 0xFF);
  }
  return raw;
}

// A document of three objects, the middle one with a BVertex chunk; `chunk` is the chunk's text
// after "BVertex", from its count to its closing brace, lines ended by `eol`.
std::string Document(const std::string& eol, const std::string& chunk) {
  return "Metasequoia Document" + eol + "Format Text Ver 1.1" + eol + eol + "Object \"first\" {" +
         eol + "\tvertex 1 {" + eol + "\t\t1 2 3" + eol + "\t}" + eol + "}" + eol +
         "Object \"binary\" {" + eol + "\tdepth 0" + eol + "\tBVertex " + chunk + "\tface 2 {" +
         eol + "\t\t3 V(0 1 2)" + eol + "\t\t3 V(2 3 4) M(1)" + eol + "\t}" + eol + "}" + eol +
         "Object \"after\" {" + eol + "\tvertex 3 {" + eol + "\t\t0 0 0" + eol + "\t\t1 0 0" + eol +
         "\t\t0 1 0" + eol + "\t}" + eol + "\tface 1 {" + eol + "\t\t3 V(2 1 0)" + eol + "\t}" +
         eol + "}" + eol + "Eof" + eol;
}

// "N {", "Vector N [B]", the raw bytes, "}" as the modeller writes them.
std::string Chunk(const std::string& eol, const std::string& raw, size_t vertices) {
  const std::string n = std::to_string(vertices);
  return n + " {" + eol + "\t\tVector " + n + " [" + std::to_string(raw.size()) + "]" + eol + raw +
         eol + "\t}" + eol;
}

std::vector<uint32_t> BitsOf(const std::vector<Vec4>& vertices) {
  std::vector<uint32_t> bits;
  for (const Vec4& v : vertices) {
    bits.push_back(std::bit_cast<uint32_t>(v.x));
    bits.push_back(std::bit_cast<uint32_t>(v.y));
    bits.push_back(std::bit_cast<uint32_t>(v.z));
  }
  return bits;
}

const char* const kEols[] = {"\n", "\r\n"};

TEST(BinaryVertices, RawFloatsComeThroughBitForBitAndLaterObjectsStay) {
  const std::string raw = Raw(kBits);
  for (const char c : {'\0', '\n', '{', '}', '"'})
    ASSERT_NE(raw.find(c), std::string::npos) << int{c};
  for (const std::string eol : kEols) {
    Model model;
    ASSERT_EQ(LoadText(model, Document(eol, Chunk(eol, raw, kBits.size() / 3))), kLoadOk);
    ASSERT_EQ(model.objects.size(), 3u) << "eol " << eol.size();
    EXPECT_EQ(BitsOf(model.objects[1].vertices), kBits);
    for (const Vec4& v : model.objects[1].vertices)
      EXPECT_EQ(v.w, 1.0f);
    model.objects[1].vertices.assign(1, Vec4{0, 0, 0, 1});  // printing NaN differs by library
    EXPECT_EQ(
        Describe(model),
        "textures 0\nobject \"after\" vertices 3 faces 1: 3[2 1 0]m0\n v 0 0 0, 1 0 0, 0 1 0\n"
        "object \"binary\" vertices 1 faces 2: 3[0 1 2]m0 3[2 3 4]m1\n v 0 0 0\n"
        "object \"first\" vertices 1 faces 0:\n v 1 2 3\n");
  }
}

TEST(BinaryVertices, Chunks) {
  const std::string raw = Raw({0x3F800000, 0x40000000, 0x40400000});  // 1 2 3
  const std::string raw24 = raw + Raw({0, 0, 0});
  const struct {
    const char* name;
    std::string chunk;  // then a face chunk and a further object
    size_t vertices;    // SIZE_MAX: the load fails
    float x = 0;        // of the first vertex, when there is one
  } cases[] = {
      {"no vertices", "0 {\n\t\tVector 0 [0]\n\n\t}\n", 0, 0},
      {"no vertices, no Vector item", "0 {\n\t}\n", 0, 0},
      {"blanks after the byte count", "1 {\n\t\tVector 1 [12]  \t\r\n" + raw + "\n\t}\n", 1, 1},
      {"another raw item is stepped over",
       "1 {\n\t\tWeit 1 [6]\n" + std::string("}}\0\"{\n", 6) + "\t\tVECTOR 1 [12]\n" + raw +
           "\n\t\tX [2]\n}\n\n\t}\n",
       1, 1},
      {"a vertex chunk after it replaces it",
       "1 {\n\t\tVector 1 [12]\n" + raw + "\n\t}\n\tvertex 2 {\n\t\t7 7 7\n\t\t8 8 8\n\t}\n", 2, 7},
      {"a BVertex chunk after a vertex chunk replaces it",
       "0 {\n\t}\n\tvertex 2 {\n\t\t5 5 5\n\t\t6 6 6\n\t}\n\tBVertex 1 {\n\t\tVector 1 [12]\n" +
           raw + "\n\t}\n",
       1, 1},
      {"byte count one short", "2 {\n\t\tVector 2 [23]\n" + raw24.substr(1) + "\n\t}\n", SIZE_MAX},
      {"byte count one vertex more",
       "2 {\n\t\tVector 2 [36]\n" + raw24 + raw24.substr(12) + "\n}\n", SIZE_MAX},
      {"Vector count differs from the chunk's", "2 {\n\t\tVector 3 [24]\n" + raw24 + "\n\t}\n",
       SIZE_MAX},
      {"byte count beyond the text", "2 {\n\t\tVector 2 [24000]\n" + raw24 + "\n\t}\n", SIZE_MAX},
      {"byte count beyond any text",
       "2 {\n\t\tVector 2 [99999999999999999999999999999]\n" + raw24 + "\n\t}\n", SIZE_MAX},
      {"byte count that would wrap around to the right one (2^64 + 24)",
       "2 {\n\t\tVector 2 [18446744073709551640]\n" + raw24 + "\n\t}\n", SIZE_MAX},
      {"byte count not ending its line", "2 {\n\t\tVector 2 [24] more\n" + raw24 + "\n\t}\n",
       SIZE_MAX},
      {"no byte count", "2 {\n\t\tVector 2\n" + raw24 + "\n\t}\n", SIZE_MAX},
      {"quoted byte count", "2 {\n\t\tVector 2 \"[24]\"\n" + raw24 + "\n\t}\n", SIZE_MAX},
      {"no Vector item", "2 {\n\t}\n", SIZE_MAX},
      {"another raw item beyond the text",
       "2 {\n\t\tVector 2 [24]\n" + raw24 + "\n\t\tWeit 2 [9000]\n\t}\n", SIZE_MAX},
      {"a count beyond the text's size", "2000000000 {\n\t\tVector 2000000000 [24000000000]\n\t}\n",
       SIZE_MAX},
  };
  for (const auto& c : cases) {
    Model model;
    const LoadResult result = LoadText(model, Document("\n", c.chunk));
    EXPECT_EQ(ValidateModel(model), kModelSound) << c.name;
    ASSERT_EQ(result, c.vertices == SIZE_MAX ? kLoadUnreadable : kLoadOk) << c.name;
    if (result != kLoadOk) continue;
    ASSERT_EQ(model.objects.size(), 3u) << c.name;
    const MeshObject& binary = model.objects[1];
    EXPECT_EQ(binary.vertices.size(), c.vertices) << c.name;
    if (c.vertices > 0) {
      EXPECT_EQ(binary.vertices[0].x, c.x) << c.name;
    }
    EXPECT_EQ(binary.faces.size(), 2u) << c.name;
  }
}

TEST(BinaryVertices, DataCutShortFails) {
  for (const std::string eol : kEols) {
    const std::string raw = Raw(kBits);
    const std::string text = Document(eol, Chunk(eol, raw, kBits.size() / 3));
    const size_t start = text.find("]" + eol) + 1 + eol.size();
    ASSERT_EQ(text.compare(start, raw.size(), raw), 0);
    for (size_t end = start; end < start + raw.size(); ++end) {
      Model model;
      EXPECT_EQ(LoadText(model, std::string_view(text).substr(0, end)), kLoadUnreadable) << end;
    }
    // Ending right after the raw bytes keeps them.
    Model model;
    ASSERT_EQ(LoadText(model, std::string_view(text).substr(0, start + raw.size())), kLoadOk);
    EXPECT_EQ(BitsOf(model.objects.at(0).vertices), kBits);
  }
}

TEST(BinaryVertices, TheBudgetCountsTheRawBytes) {
  // The material table costs more than the text around the raw bytes: they pay for it.
  const auto text = [](size_t padding) {
    return "Metasequoia\nMaterial 300 {\n}\nObject \"o\" {\n\tBVertex 0 {\n\t\tPadding 1 [" +
           std::to_string(padding) + "]\n" + std::string(padding, '\0') + "\n\t}\n}\n";
  };
  Model model;
  ASSERT_EQ(LoadText(model, text(400)), kLoadOk);
  EXPECT_EQ(model.materials.size(), 300u);
  EXPECT_EQ(LoadText(model, text(100)), kLoadUnreadable);
}

TEST(BinaryVertices, AZeroByteOutsideRawDataStillEndsTheText) {
  const std::string raw = Raw({0x3F800000, 0, 0});
  const std::string text = "Metasequoia\nObject \"a\" {\n\tBVertex 1 {\n\t\tVector 1 [12]\n" + raw +
                           "\n\t}\n}\n" + std::string(1, '\0') + "Object \"b\" {\n}\n";
  Model model;
  ASSERT_EQ(LoadText(model, text), kLoadOk);
  ASSERT_EQ(model.objects.size(), 1u);
  EXPECT_EQ(model.objects[0].vertices.at(0).x, 1.0f);
}

}  // namespace
