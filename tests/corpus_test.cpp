// Real documents saved by the modeller (kept outside this repository): every one loads with the
// material count and the per-object vertex and face counts recorded in data/corpus_counts.txt
// and converts to a file that reads back with the records its faces imply; binary vertices come
// out as plausible positions; a zipped document converts exactly as the document inside it.
// Skipped when the folder is absent.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "reader/zip_archive.h"
#include "tests/support/test_support.h"
#include "tools/qzdump/qz_file.h"
#include "writer/mirror.h"

namespace {

// "materials=N objects=V/F,V/F,..." with the objects in model order (last read first).
std::string Counts(LoadResult result, const Model& model) {
  std::ostringstream out;
  if (result != kLoadOk) return out << "result=" << result, out.str();
  out << "materials=" << model.materials.size() << " objects=";
  for (const MeshObject& o : model.objects)
    out << (&o == model.objects.data() ? "" : ",") << o.vertices.size() << "/" << o.faces.size();
  return out.str();
}

TEST(Corpus, EveryDocumentLoadsWithItsCountsAndConverts) {
  const std::filesystem::path corpus = VUV2EZ_CORPUS_DIR;
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  std::istringstream counts(ReadFile(std::string(VUV2EZ_TEST_DATA) + "/corpus_counts.txt"));
  int checked = 0, binary = 0, zipped = 0;
  for (std::string name, expected; counts >> name && std::getline(counts >> std::ws, expected);) {
    if (name[0] == '#') continue;
    const std::string path = (corpus / name).string();
    Model model;
    const LoadResult result = LoadModel(model, path.c_str());
    EXPECT_EQ(Counts(result, model), expected) << name;
    EXPECT_EQ(ValidateModel(model), kModelSound) << name;
    Model baked = model;
    BakeMirrors(baked);
    EXPECT_EQ(ValidateModel(baked), kModelSound) << name << ", baked";
    ++checked;
    for (const bool smooth : {true, false}) {
      const std::vector<uint8_t> bytes = QzBytes(model, smooth);
      QzFile file;
      std::string error;
      ASSERT_TRUE(ParseQz(bytes.data(), bytes.size(), file, error)) << name << ": " << error;
      ASSERT_EQ(file.objects.size(), model.objects.size()) << name;
      for (size_t j = 0; j < model.objects.size(); ++j) {
        uint64_t records = 0;
        for (const Face& face : model.objects[j].faces)
          records += QzRecordsOf(face);
        EXPECT_EQ(file.objects[j].records, records) << name << " object " << j;
      }
    }
    if (name.find("_BVertex") != std::string::npos) {
      ++binary;  // finite, not all equal, every corner in range
      for (const MeshObject& object : model.objects) {
        ASSERT_FALSE(object.vertices.empty()) << name;
        float low = INFINITY, high = -INFINITY;
        for (const Vec4& v : object.vertices) {
          for (const float c : {v.x, v.y, v.z}) {
            ASSERT_TRUE(std::isfinite(c) && std::fabs(c) < 1e5f) << name << " " << c;
            low = std::min(low, c), high = std::max(high, c);
          }
        }
        EXPECT_LT(low, high) << name << " " << object.name;
        for (const int32_t index : object.cornerIndices)
          ASSERT_TRUE(index >= 0 && static_cast<size_t>(index) < object.vertices.size()) << name;
      }
    }
    if (name.ends_with(".mqoz")) {
      ++zipped;
      const std::string archive = ReadFile(path);
      std::vector<char> inner;
      ASSERT_EQ(ExtractZippedDocument(ExactCopy(archive).get(), archive.size(), inner), kZipOk)
          << name;
      Model direct;
      ASSERT_EQ(LoadText(direct, std::string_view(inner.data(), inner.size())), kLoadOk) << name;
      EXPECT_TRUE(QzBytes(model, true) == QzBytes(direct, true)) << name;
      EXPECT_TRUE(QzBytes(model, false) == QzBytes(direct, false)) << name;
    }
  }
  std::vector<std::filesystem::path> documents;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".mqo" || extension == ".mqoz") documents.push_back(entry.path());
  }
  EXPECT_EQ(checked, static_cast<int>(documents.size())) << "documents without recorded counts";
  EXPECT_EQ(binary, 3);
  EXPECT_EQ(zipped, 3);
}

}  // namespace
