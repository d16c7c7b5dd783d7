// Real documents saved by the modeller (kept outside this repository): every one loads with the
// material count and the per-object vertex and face counts recorded in data/corpus_counts.txt
// and converts to a file that reads back; binary vertices come out as plausible positions; a
// zipped document converts exactly as the document inside it. Skipped when the folder is absent.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "reader/zip_archive.h"
#include "tests/test_support.h"
#include "tools/qzdump/qz_file.h"

namespace {

// "materials=N objects=V/F,V/F,..." with the objects in model order (last read first).
std::string Counts(const Model& model) {
  std::ostringstream out;
  out << "materials=" << model.materials.size() << " objects=";
  for (size_t i = 0; i < model.objects.size(); ++i) {
    out << (i ? "," : "") << model.objects[i].vertices.size() << "/"
        << model.objects[i].faces.size();
  }
  return out.str();
}

std::map<std::string, std::string> ExpectedCounts() {
  std::map<std::string, std::string> expected;
  std::ifstream in(std::string(VUV2EZ_TEST_DATA) + "/corpus_counts.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find(' ');
    expected[line.substr(0, space)] = line.substr(space + 1);
  }
  return expected;
}

// Binary vertices come out as plausible positions: finite, not all equal, every corner in range.
void ExpectPlausiblePositions(const std::string& name, const Model& model) {
  for (const MeshObject& object : model.objects) {
    ASSERT_FALSE(object.vertices.empty()) << name << " " << object.name;
    float low = object.vertices[0].x, high = low;
    for (const Vec4& v : object.vertices) {
      for (const float c : {v.x, v.y, v.z}) {
        ASSERT_TRUE(std::isfinite(c) && std::fabs(c) < 1e5f) << name << " " << c;
        low = std::min(low, c);
        high = std::max(high, c);
      }
    }
    EXPECT_LT(low, high) << name << " " << object.name;
    for (const int32_t index : object.cornerIndices) {
      ASSERT_TRUE(index >= 0 && static_cast<size_t>(index) < object.vertices.size()) << name;
    }
  }
}

// A zipped document converts exactly as the document inside it.
void ExpectConvertsLikeTheDocumentInside(const std::string& path, const Model& zipped) {
  const std::string archive = ReadFile(path);
  std::vector<char> inner;
  ASSERT_EQ(ExtractZippedDocument(archive.data(), archive.size(), inner), kZipOk) << path;
  const std::string_view text(inner.data(), inner.size());
  EXPECT_TRUE(text.starts_with("Metasequoia Document\r\nFormat Text Ver 1.2\r\n")) << path;
  Model direct;
  ASSERT_EQ(LoadText(direct, text), kLoadOk) << path;
  for (const bool smooth : {true, false}) {
    const std::vector<uint8_t> bytes = QzBytes(zipped, smooth);
    EXPECT_GT(bytes.size(), 168u) << path;
    EXPECT_TRUE(bytes == QzBytes(direct, smooth)) << path << (smooth ? " smooth" : " flat");
  }
}

// Every document loads with its counts and converts in both normal modes; the file reads back
// with the object and record counts the model implies (a face of k > 4 corners takes
// 1 + (k - 3) / 2 records).
TEST(Corpus, EveryDocumentLoadsWithItsCountsAndConverts) {
  const std::filesystem::path corpus = VUV2EZ_CORPUS_DIR;
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  const auto expected = ExpectedCounts();
  ASSERT_FALSE(expected.empty());
  int checked = 0, binary = 0, zipped = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    const std::string name = entry.path().filename().string();
    const std::string extension = entry.path().extension().string();
    if (extension != ".mqo" && extension != ".mqoz") continue;
    Model model;
    const LoadResult result = LoadModel(model, entry.path().string().c_str());
    const std::string actual =
        result == kLoadOk ? Counts(model) : "result=" + std::to_string(static_cast<int>(result));
    const auto found = expected.find(name);
    ASSERT_NE(found, expected.end())
        << "no expectation for " << name << "; it loads as: " << actual;
    EXPECT_EQ(actual, found->second) << name;
    ++checked;
    if (result != kLoadOk) continue;
    for (bool smooth : {true, false}) {
      const std::vector<uint8_t> bytes = QzBytes(model, smooth);
      QzFile file;
      std::string error;
      ASSERT_TRUE(ParseQz(bytes.data(), bytes.size(), file, error)) << name << ": " << error;
      ASSERT_EQ(file.objects.size(), model.objects.size()) << name;
      for (size_t j = 0; j < model.objects.size(); ++j) {
        uint64_t records = 0;
        for (const Face& face : model.objects[j].faces) {
          records += face.vertexCount <= 4 ? 1 : 1 + (face.vertexCount - 3) / 2;
        }
        EXPECT_EQ(file.objects[j].records, records) << name << " object " << j;
      }
    }
    if (name.find("_BVertex") != std::string::npos) {
      ++binary;
      ExpectPlausiblePositions(name, model);
    }
    if (extension == ".mqoz") {
      ++zipped;
      ExpectConvertsLikeTheDocumentInside(entry.path().string(), model);
    }
  }
  EXPECT_EQ(checked, static_cast<int>(expected.size())) << "expected files missing from the corpus";
  EXPECT_EQ(binary, 3);
  EXPECT_EQ(zipped, 3);
}

}  // namespace
