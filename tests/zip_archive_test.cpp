// The ZIP reader on archives built by the tests: the document it takes out of good archives, and
// the reason it gives for each damaged, lying or unsupported one; then zipped documents loaded
// from files.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "reader/zip_archive.h"
#include "tests/support/test_support.h"
#include "tests/zip_writer.h"

namespace {

const std::string kDocument =
    "Metasequoia Document\r\nFormat Text Ver 1.2\r\nCodePage utf8\r\n\r\nObject \"o\" {\r\n"
    "\tvertex 3 {\r\n\t\t0 0 0\r\n\t\t1 0 0\r\n\t\t0 1 0\r\n\t}\r\n\tface 1 {\r\n\t\t3 V(0 1 2)\r\n"
    "\t}\r\n}\r\nEof\r\n";

// Extracts from an exact-size copy of the bytes, so that AddressSanitizer sees any read past them.
ZipResult Extract(const std::string& archive, std::string* text = nullptr) {
  const auto copy = std::make_unique<char[]>(archive.size());
  std::copy(archive.begin(), archive.end(), copy.get());
  std::vector<char> out{'x'};
  const ZipResult result = ExtractZippedDocument(copy.get(), archive.size(), out);
  EXPECT_TRUE(result == kZipOk || out.empty()) << "a failed extraction leaves no text";
  if (text != nullptr) text->assign(out.begin(), out.end());
  return result;
}

TEST(ZipArchive, TakesTheFirstDocumentEntry) {
  static const char kJpeg[] = "\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0\xFF\xD9";
  const std::string thumbnail(kJpeg, sizeof kJpeg - 1), one = "x";
  // Numbers in random order: a text that deflates by a small factor only.
  std::mt19937 random(8);
  std::string large = "Metasequoia Document\r\n";
  for (int i = 0; i < 40000; ++i)
    large += std::to_string(random() % 100000) + " " + std::to_string(random()) + "\r\n";
  const std::string empty,
      falseEnd = std::string("xPK\x05\x06", 5) + std::string(18, '\0') + "tail";
  const struct {
    const char* name;
    std::vector<ZipEntrySpec> entries;
    const std::string& text = kDocument;
    std::string comment = "";
  } cases[] = {
      {"stored", {{"model.mqo", kDocument, 0}}},
      {"deflated", {{"model.mqo", kDocument}}},
      {"after a thumbnail and a .mqx",
       {{"thumbnail.jpg", thumbnail}, {"model.mqx", ""}, {"model.mqo", kDocument}}},
      {"name in capitals, inside a folder",
       {{"scenes/", "", 0}, {"notes.mqo.txt", "not this"}, {"scenes/MODEL.MQO", kDocument}}},
      {"the first of two documents", {{"a.mqo", kDocument, 0}, {"b.mqo", "Metasequoia other"}}},
      {"a comment holding a false end record", {{"model.mqo", kDocument}}, kDocument, falseEnd},
      {"an empty document", {{"empty.mqo", ""}}, empty},
      {"a one-byte document", {{"one.mqo", one}}, one},
      {"a large document", {{"large.mqo", large}}, large},
  };
  for (const auto& c : cases) {
    std::string text;
    EXPECT_EQ(Extract(MakeZip(c.entries, c.comment), &text), kZipOk) << c.name;
    EXPECT_TRUE(text == c.text) << c.name << ": " << text.size() << " bytes";
  }
}

// `archive` with the 2 (or 4) bytes at `at` replaced by `value`.
std::string Put(std::string archive, size_t at, uint32_t value, int bytes = 2) {
  bytes == 2 ? Put16(archive, at, static_cast<uint16_t>(value)) : Put32(archive, at, value);
  return archive;
}

TEST(ZipArchive, RefusesDamagedLyingAndUnsupportedArchives) {
  const auto document = [](uint16_t method = 8) {
    return ZipEntrySpec{"model.mqo", kDocument, method};
  };
  const auto with = [&](const std::function<void(ZipEntrySpec&)>& change, uint16_t method = 8) {
    ZipEntrySpec entry = document(method);
    change(entry);
    return MakeZip({entry});
  };
  const auto sized = [&](uint32_t claimed, uint16_t method = 8) {
    return with([&](ZipEntrySpec& e) { e.size = claimed; }, method);
  };
  ZipLayout l, two;
  const std::string good = MakeZip({document()}, "", &l), stored = MakeZip({document(0)});
  const std::string twoOthers = MakeZip({{"a.mqx", "a"}, {"b.jpg", "b"}}, "", &two);
  const size_t local = l.localHeaders[0], central = l.centralHeaders[0], end = l.end;
  const size_t data = local + 30 + std::string("model.mqo").size();
  const uint32_t crc = Crc32(kDocument);
  const auto size = static_cast<uint32_t>(kDocument.size());
  const auto deflatedSize = static_cast<uint32_t>(Deflate(kDocument).size());
  const auto limit = 64 * static_cast<uint32_t>(good.size());  // the inflation limit
  std::string locator(20, '\0');
  Put32(locator, 0, 0x07064b50);
  ZipEntrySpec lyingThenMore = document(), tooLarge = document();
  lyingThenMore.compressedSize = deflatedSize + 1;
  // 64 times this archive's size exceeds 2 GiB: the fixed limit decides.
  tooLarge.size = 0x80000001u;

  const struct {
    const char* name;
    std::string archive;
    ZipResult expected;
  } cases[] = {
      {"no .mqo entry", twoOthers, kZipNoDocument},
      {"no entries at all", MakeZip({}), kZipNoDocument},
      {"encrypted", with([](ZipEntrySpec& e) { e.flags = 0x0001; }), kZipEncrypted},
      {"strong encryption", with([](ZipEntrySpec& e) { e.flags = 0x0040; }), kZipEncrypted},
      {"encrypted in the local header only", Put(good, local + 6, 1), kZipEncrypted},
      {"bzip2 method", MakeZip({document(12)}), kZipUnknownMethod},
      {"corrupted CRC", with([&](ZipEntrySpec& e) { e.crc = crc ^ 1; }), kZipBadCrc},
      {"a stored byte changed", Put(stored, data + 10, 0), kZipBadCrc},
      {"claims one byte more than it inflates to", sized(size + 1), kZipBadData},
      {"claims one byte less than it inflates to", sized(size - 1), kZipBadData},
      {"claims nothing but inflates to a text", sized(0), kZipBadData},
      {"stored, sizes disagree", sized(size - 1, 0), kZipBadData},
      {"compressed size cuts the stream short",
       with([&](ZipEntrySpec& e) { e.compressedSize = deflatedSize - 1; }), kZipBadData},
      {"compressed size takes a byte after the stream",
       MakeZip({lyingThenMore, {"after.txt", "after"}}), kZipBadData},
      {"compressed size runs into the directory",
       with([&](ZipEntrySpec& e) { e.compressedSize = deflatedSize + 1000; }), kZipMalformed},
      {"damaged deflate stream (reserved block type)", Put(good, data, 7), kZipBadData},
      {"local header offset at the directory", Put(good, central + 42, l.directory, 4),
       kZipMalformed},
      {"local header signature", Put(good, local, 0, 4), kZipMalformed},
      {"local header names another method", Put(good, local + 8, 0), kZipMalformed},
      {"local name runs past the entries", Put(good, local + 26, 0xFFFF), kZipMalformed},
      {"claims more than 64 times the archive", sized(limit + 1), kZipTooLarge},
      {"claims exactly 64 times the archive: allowed, but the stream is shorter", sized(limit),
       kZipBadData},
      {"claims more than 2 GiB",
       MakeZip({{"filler.bin", std::string(33 << 20, '\0'), 0}, tooLarge}), kZipTooLarge},
      {"ZIP64 entry sizes", sized(0xFFFFFFFF), kZipUnsupported},
      {"ZIP64 entry count", Put(good, end + 8, 0xFFFFFFFF, 4), kZipUnsupported},
      {"ZIP64 directory offset", Put(good, end + 16, 0xFFFFFFFF, 4), kZipUnsupported},
      {"ZIP64 locator before the end record", good.substr(0, end) + locator + good.substr(end),
       kZipUnsupported},
      {"split: this disk is not the first", Put(good, end + 4, 1), kZipUnsupported},
      {"split: entries on other disks", Put(good, end + 8, 0), kZipUnsupported},
      {"split: the document on another disk", Put(good, central + 34, 1), kZipUnsupported},
      {"end record's comment runs past the end", Put(good, end + 20, 5), kZipMalformed},
      {"directory offset past the end record", Put(good, end + 16, end + 1, 4), kZipMalformed},
      {"directory size past the end record", Put(good, end + 12, end - l.directory + 1, 4),
       kZipMalformed},
      {"more entries than records", Put(twoOthers, two.end + 8, 0x00030003, 4), kZipMalformed},
      {"directory signature", Put(good, central, 0, 4), kZipMalformed},
      {"name runs past the directory", Put(good, central + 28, 0xFFFF), kZipMalformed},
      {"not an archive at all", "PK\x03\x04 is how this text begins", kZipMalformed},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Extract(c.archive), c.expected) << c.name;
}

TEST(ZipArchive, EveryTruncationAndAnyDamagedByteFailsOrGivesTheDocumentUnchanged) {
  const std::string archive = MakeZip(
      {{"thumbnail.jpg", "jpeg"}, {"model.mqo", kDocument}, {"model.mqx", "<x/>"}}, "comment");
  ASSERT_EQ(Extract(archive), kZipOk);
  int failures = 0;
  for (size_t at = 0; at < archive.size(); ++at) {
    EXPECT_NE(Extract(archive.substr(0, at)), kZipOk) << at;
    std::string damaged = archive, text;
    damaged[at] = static_cast<char>(damaged[at] ^ 0xFF);
    if (Extract(damaged, &text) == kZipOk) {
      EXPECT_EQ(text, kDocument) << at;
    } else {
      ++failures;
    }
  }
  EXPECT_GT(failures, 100);  // every byte of the document's own data and headers counts
}

LoadResult LoadZipped(const std::string& bytes, Model& model) {
  const ScratchFolder folder;
  WriteFile(folder / "model.mqoz", bytes);
  const LoadResult result = LoadModel(model, (folder / "model.mqoz").c_str());
  EXPECT_EQ(ValidateModel(model), kModelSound);
  return result;
}

TEST(ZippedDocument, LoadsLikeItsText) {
  Model zipped, direct;
  ASSERT_EQ(LoadZipped(MakeZip({{"thumbnail.jpg", "jpeg"}, {"model.mqo", kDocument}}), zipped),
            kLoadOk);
  ASSERT_EQ(LoadText(direct, kDocument), kLoadOk);
  EXPECT_EQ(Describe(zipped), Describe(direct));
  EXPECT_EQ(QzBytes(zipped, true), QzBytes(direct, true));
}

TEST(ZippedDocument, OutcomesOfArchivesThatGiveNoModel) {
  const struct {
    const char* name;
    std::string bytes;
    LoadResult expected;
  } cases[] = {
      {"the entry is no MQO text", MakeZip({{"model.mqo", "PK other text"}}), kLoadNotMqo},
      {"no document entry", MakeZip({{"model.mqx", "<x/>"}}), kLoadUnreadable},
      {"only the local header's signature", "PK\x03\x04", kLoadUnreadable},
      {"fewer bytes than a signature", "PK\x03", kLoadNotMqo},
      {"an end record is no archive", std::string("PK\x05\x06", 4) + std::string(18, '\0'),
       kLoadNotMqo},
  };
  for (const auto& c : cases) {
    Model model;
    EXPECT_EQ(LoadZipped(c.bytes, model), c.expected) << c.name;
    EXPECT_TRUE(model.objects.empty()) << c.name;
  }
}

TEST(ZippedDocument, TheBudgetCountsTheInflatedText) {
  // The table costs more than the archive's size but less than its text's.
  const std::string text = "Metasequoia\n" + std::string(1000, ' ') + "\nMaterial 900 {\n}\n";
  const std::string archive = MakeZip({{"model.mqo", text}});
  ASSERT_LT(archive.size(), 900u);
  Model model;
  ASSERT_EQ(LoadZipped(archive, model), kLoadOk);
  EXPECT_EQ(model.materials.size(), 900u);
}

}  // namespace
