// qzdump's reader: valid files parse; every truncation and every corrupted size fails cleanly.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/golden_hex.h"
#include "tests/support/test_support.h"
#include "tools/qzdump/qz_file.h"

namespace {

std::vector<uint8_t> ExampleBytes() {
  // Two objects (3 faces, then 2) and one texture slot.
  Model model;
  EXPECT_EQ(LoadText(model, ReadFile(GoldenPath("object_order.mqo"))), kLoadOk);
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
  const std::vector<uint8_t> empty = QzBytes(Model{}, true);  // no object, no face
  QzFile none;
  EXPECT_TRUE(ParseQz(empty.data(), empty.size(), none, problem) && none.objects.empty());
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
    uint32_t value, next;  // `next` (when not 0) goes in the word after
    const char* reason;
  } cases[] = {
      {0, 0x00465A52, 0, "not a QZ file (magic is not \"QZF\")"},
      {8, 0xFFFFFFF0, 0, "object table runs past the end of the file"},
      {12, 0xFFFFFFFF, 0, "object table runs past the end of the file"},
      {16, 168 * 4, 0, "object 1 face count 2 does not match its 1 records"},
      {16, 100, 0, "face data size is not a multiple of 168"},
      {20, 0x7FFFFFFF, 0, "face data runs past the end of the file"},
      {24, 8, 0, "texture table size is not a multiple of 16"},
      {48 + 52, 1, 0, "object 0 face count 3 does not match its 2 records"},
      {48 + 60 + 52, 9, 0, "object 0 has faces outside the face data"},
      {48 + 48, 0x00040001, 0, "object 0 face count 4 does not match its 3 records"},
      // Object 0 shifted whole (flag 1, face count 2, first face 1): the counts agree.
      {48 + 48, 0x00020001, 1, "object 0 does not start at face 0"},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = good;
    std::memcpy(bytes.data() + c.offset, &c.value, 4);
    if (c.next) std::memcpy(bytes.data() + c.offset + 4, &c.next, 4);
    QzFile file;
    std::string error;
    EXPECT_FALSE(ParseQz(bytes.data(), bytes.size(), file, error)) << c.reason;
    EXPECT_EQ(error, c.reason);
  }
}

}  // namespace
