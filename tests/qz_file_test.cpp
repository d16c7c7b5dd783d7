// qzdump's reader: valid files parse; every truncation and every corrupted size fails cleanly.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/test_support.h"
#include "tools/qzdump/qz_file.h"

namespace {

std::vector<uint8_t> ExampleBytes() {
  // Two objects (3 faces, then 2) and one texture slot.
  Model model;
  EXPECT_EQ(LoadText(model, ReadFile(std::string(VUV2EZ_TEST_DATA) + "/golden/object_order.mqo")),
            kLoadOk);
  model.textureCount = 1;
  model.materials.at(0).textureIndex = 0;
  model.materials.at(0).textureName = "a.bmp";
  return QzBytes(model, true);
}

TEST(QzFile, ParsesWhatTheWriterWritesAndFailsOnEveryTruncation) {
  const std::vector<uint8_t> bytes = ExampleBytes();
  QzFile whole;
  std::string problem;
  ASSERT_TRUE(ParseQz(bytes.data(), bytes.size(), whole, problem)) << problem;
  ASSERT_EQ(whole.objects.size(), 2u);
  EXPECT_EQ(whole.objects[0].records + 10 * whole.objects[1].records, 23u);
  EXPECT_EQ(whole.faces.size(), 5u);
  for (size_t size = 0; size < bytes.size(); ++size) {
    // A copy of exactly `size` bytes, so a read past the end is caught by the sanitizers.
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + size);
    QzFile file;
    std::string error;
    EXPECT_FALSE(ParseQz(cut.data(), cut.size(), file, error)) << size;
    EXPECT_FALSE(error.empty());
  }
}

TEST(QzFile, CorruptedFieldsFail) {
  const std::vector<uint8_t> good = ExampleBytes();
  const struct {
    size_t offset;
    uint32_t value;
    const char* reason;
  } cases[] = {
      {0, 0x00465A52, "not a QZ file (magic is not \"QZF\")"},
      {8, 0xFFFFFFF0, "object table runs past the end of the file"},
      {12, 0xFFFFFFFF, "object table runs past the end of the file"},
      {16, 168 * 4, "object 1 face count 2 does not match its 1 records"},
      {16, 100, "face data size is not a multiple of 168"},
      {20, 0x7FFFFFFF, "face data runs past the end of the file"},
      {24, 8, "texture table size is not a multiple of 16"},
      {48 + 52, 1, "object 0 face count 3 does not match its 2 records"},
      {48 + 60 + 52, 9, "object 0 has faces outside the face data"},
      {48 + 48, 0x00040001, "object 0 face count 4 does not match its 3 records"},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = good;
    std::memcpy(bytes.data() + c.offset, &c.value, 4);
    QzFile file;
    std::string error;
    EXPECT_FALSE(ParseQz(bytes.data(), bytes.size(), file, error)) << c.reason;
    EXPECT_EQ(error, c.reason);
  }
  // Object 0 shifted whole (first face 1, two records): every count agrees, the start does not.
  std::vector<uint8_t> bytes = good;
  const uint32_t fields[2] = {0x00020001, 1};  // flag 1, face count 2; first face 1
  std::memcpy(bytes.data() + 48 + 48, fields, sizeof fields);
  QzFile file;
  std::string error;
  EXPECT_FALSE(ParseQz(bytes.data(), bytes.size(), file, error));
  EXPECT_EQ(error, "object 0 does not start at face 0");
}

}  // namespace
