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
#include "tests/test_support.h"
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

// Numbers in random order: a text that deflates by a small factor only.
std::string LargeDocument() {
  std::mt19937 random(8);
  std::string text =
      "Metasequoia Document\r\nFormat Text Ver 1.2\r\n\r\nObject \"big\" {\r\n"
      "\tvertex 20000 {\r\n";
  for (int i = 0; i < 20000; ++i) {
    text += "\t\t" + std::to_string(random() % 100000) + "." + std::to_string(random() % 1000) +
            " -" + std::to_string(random() % 1000) + " " + std::to_string(random()) + "\r\n";
  }
  return text + "\t}\r\n}\r\nEof\r\n";
}

ZipEntrySpec Entry(std::string name, std::string data, uint16_t method = 8) {
  ZipEntrySpec entry;
  entry.name = std::move(name);
  entry.data = std::move(data);
  entry.method = method;
  return entry;
}

TEST(ZipArchive, TakesTheFirstDocumentEntry) {
  static const char kJpeg[] = "\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0\xFF\xD9";
  const std::string thumbnail(kJpeg, sizeof kJpeg - 1);
  const std::string large = LargeDocument(), one = "x";
  const struct {
    const char* name;
    std::vector<ZipEntrySpec> entries;
    std::string comment;
    const std::string& text;
  } cases[] = {
      {"stored", {Entry("model.mqo", kDocument, 0)}, "", kDocument},
      {"deflated", {Entry("model.mqo", kDocument)}, "", kDocument},
      {"after a thumbnail and a .mqx",
       {Entry("thumbnail.jpg", thumbnail), Entry("model.mqx", "<MetasequoiaDocument/>"),
        Entry("model.mqo", kDocument)},
       "",
       kDocument},
      {"empty thumbnail first, as the modeller writes it",
       {Entry("thumbnail.jpg", ""), Entry("single_object.mqo", kDocument)},
       "",
       kDocument},
      {"name in capitals, inside a folder",
       {Entry("scenes/", "", 0), Entry("notes.mqo.txt", "not this"),
        Entry("scenes/MODEL.MQO", kDocument)},
       "",
       kDocument},
      {"the first of two documents",
       {Entry("a.mqo", kDocument, 0), Entry("b.mqo", "Metasequoia other")},
       "",
       kDocument},
      {"a comment after the end record",
       {Entry("model.mqo", kDocument)},
       "saved for the tests",
       kDocument},
      {"a comment holding a false end record",
       {Entry("model.mqo", kDocument)},
       std::string("xPK\x05\x06", 5) + std::string(18, '\0') + "tail",
       kDocument},
      {"an empty document", {Entry("empty.mqo", "")}, "", std::string()},
      {"a one-byte document", {Entry("one.mqo", one)}, "", one},
      {"a large document", {Entry("large.mqo", large)}, "", large},
  };
  for (const auto& c : cases) {
    std::string text;
    EXPECT_EQ(Extract(MakeZip(c.entries, c.comment), &text), kZipOk) << c.name;
    EXPECT_TRUE(text == c.text) << c.name << ": " << text.size() << " bytes";
  }
}

// An archive of `entries` changed by `damage`, which may use where the records lie.
using Damage = std::function<void(std::string&, const ZipLayout&)>;
std::string Damaged(const std::vector<ZipEntrySpec>& entries, const Damage& damage) {
  ZipLayout layout;
  std::string archive = MakeZip(entries, "", &layout);
  damage(archive, layout);
  return archive;
}

TEST(ZipArchive, RefusesDamagedLyingAndUnsupportedArchives) {
  const auto document = [](uint16_t method = 8) { return Entry("model.mqo", kDocument, method); };
  const auto with = [&](const std::function<void(ZipEntrySpec&)>& change, uint16_t method = 8) {
    ZipEntrySpec entry = document(method);
    change(entry);
    return MakeZip({entry});
  };
  const auto damaged = [&](const Damage& damage) { return Damaged({document()}, damage); };
  const uint32_t crc = Crc32(kDocument);
  const auto size = static_cast<uint32_t>(kDocument.size());
  const auto deflatedSize = static_cast<uint32_t>(Deflate(kDocument).size());
  const size_t dataStart = 30 + std::string("model.mqo").size();
  const auto archiveSize = static_cast<uint32_t>(MakeZip({document()}).size());
  std::string locator(20, '\0');
  Put32(locator, 0, 0x07064b50);
  ZipEntrySpec lyingThenMore = document();
  lyingThenMore.compressedSize = deflatedSize + 1;

  const struct {
    const char* name;
    std::string archive;
    ZipResult expected;
  } cases[] = {
      {"no .mqo entry", MakeZip({Entry("model.mqx", "<x/>"), Entry("thumbnail.jpg", "jpeg")}),
       kZipNoDocument},
      {"no entries at all", MakeZip({}), kZipNoDocument},
      {"encrypted", with([](ZipEntrySpec& e) { e.flags = 0x0001; }), kZipEncrypted},
      {"strong encryption", with([](ZipEntrySpec& e) { e.flags = 0x0040; }), kZipEncrypted},
      {"encrypted in the local header only",
       damaged([](std::string& a, const ZipLayout& l) { Put16(a, l.localHeaders[0] + 6, 1); }),
       kZipEncrypted},
      {"bzip2 method", MakeZip({document(12)}), kZipUnknownMethod},
      {"AES method", MakeZip({document(99)}), kZipUnknownMethod},
      {"corrupted CRC, deflated", with([&](ZipEntrySpec& e) { e.crc = crc ^ 1; }), kZipBadCrc},
      {"corrupted CRC, stored", with([&](ZipEntrySpec& e) { e.crc = crc ^ 0x80000000; }, 0),
       kZipBadCrc},
      {"a stored byte changed",
       Damaged(
           {document(0)},
           [&](std::string& a, const ZipLayout& l) { a[l.localHeaders[0] + dataStart + 10] ^= 1; }),
       kZipBadCrc},
      {"claims one byte more than it inflates to",
       with([&](ZipEntrySpec& e) { e.size = size + 1; }), kZipBadData},
      {"claims one byte less than it inflates to",
       with([&](ZipEntrySpec& e) { e.size = size - 1; }), kZipBadData},
      {"claims nothing but inflates to a text", with([&](ZipEntrySpec& e) { e.size = 0; }),
       kZipBadData},
      {"stored, sizes disagree", with([&](ZipEntrySpec& e) { e.size = size - 1; }, 0), kZipBadData},
      {"compressed size cuts the stream short",
       with([&](ZipEntrySpec& e) { e.compressedSize = deflatedSize - 1; }), kZipBadData},
      {"compressed size takes a byte after the stream",
       MakeZip({lyingThenMore, Entry("after.txt", "after")}), kZipBadData},
      {"compressed size runs into the directory",
       with([&](ZipEntrySpec& e) { e.compressedSize = deflatedSize + 1000; }), kZipMalformed},
      {"damaged deflate stream (reserved block type)",
       damaged([&](std::string& a, const ZipLayout& l) { a[l.localHeaders[0] + dataStart] = 7; }),
       kZipBadData},
      {"local header offset at the directory", damaged([](std::string& a, const ZipLayout& l) {
         Put32(a, l.centralHeaders[0] + 42, static_cast<uint32_t>(l.directory));
       }),
       kZipMalformed},
      {"local header signature",
       damaged([](std::string& a, const ZipLayout& l) { a[l.localHeaders[0]] = 'X'; }),
       kZipMalformed},
      {"local header names another method",
       damaged([](std::string& a, const ZipLayout& l) { Put16(a, l.localHeaders[0] + 8, 0); }),
       kZipMalformed},
      {"local name runs past the entries", damaged([](std::string& a, const ZipLayout& l) {
         Put16(a, l.localHeaders[0] + 26, 0xFFFF);
       }),
       kZipMalformed},
      {"inflates to more than 64 times the archive",
       MakeZip({Entry("bomb.mqo", kDocument + std::string(100000, ' '))}), kZipTooLarge},
      {"claims more than 64 times the archive",
       with([&](ZipEntrySpec& e) { e.size = 64 * archiveSize + 1; }), kZipTooLarge},
      {"claims exactly 64 times the archive: allowed, but the stream is shorter",
       with([&](ZipEntrySpec& e) { e.size = 64 * archiveSize; }), kZipBadData},
      {"ZIP64 entry sizes", with([](ZipEntrySpec& e) { e.size = 0xFFFFFFFF; }), kZipUnsupported},
      {"ZIP64 entry count", damaged([](std::string& a, const ZipLayout& l) {
         Put16(a, l.end + 8, 0xFFFF);
         Put16(a, l.end + 10, 0xFFFF);
       }),
       kZipUnsupported},
      {"ZIP64 directory offset",
       damaged([](std::string& a, const ZipLayout& l) { Put32(a, l.end + 16, 0xFFFFFFFF); }),
       kZipUnsupported},
      {"ZIP64 locator before the end record",
       damaged([&](std::string& a, const ZipLayout& l) { a.insert(l.end, locator); }),
       kZipUnsupported},
      {"split: this disk is not the first",
       damaged([](std::string& a, const ZipLayout& l) { Put16(a, l.end + 4, 1); }),
       kZipUnsupported},
      {"split: entries on other disks",
       damaged([](std::string& a, const ZipLayout& l) { Put16(a, l.end + 8, 0); }),
       kZipUnsupported},
      {"split: the document on another disk",
       damaged([](std::string& a, const ZipLayout& l) { Put16(a, l.centralHeaders[0] + 34, 1); }),
       kZipUnsupported},
      {"end record's comment runs past the end",
       damaged([](std::string& a, const ZipLayout& l) { Put16(a, l.end + 20, 5); }), kZipMalformed},
      {"directory offset past the end record", damaged([](std::string& a, const ZipLayout& l) {
         Put32(a, l.end + 16, static_cast<uint32_t>(l.end + 1));
       }),
       kZipMalformed},
      {"directory size past the end record", damaged([](std::string& a, const ZipLayout& l) {
         Put32(a, l.end + 12, static_cast<uint32_t>(l.end - l.directory + 1));
       }),
       kZipMalformed},
      {"more entries than records",
       Damaged({Entry("a.mqx", "a"), Entry("b.jpg", "b")},
               [](std::string& a, const ZipLayout& l) {
                 Put16(a, l.end + 8, 3);
                 Put16(a, l.end + 10, 3);
               }),
       kZipMalformed},
      {"directory signature",
       damaged([](std::string& a, const ZipLayout& l) { a[l.centralHeaders[0]] = 'X'; }),
       kZipMalformed},
      {"name runs past the directory", damaged([](std::string& a, const ZipLayout& l) {
         Put16(a, l.centralHeaders[0] + 28, 0xFFFF);
       }),
       kZipMalformed},
      {"not an archive at all", "PK\x03\x04 is how this text begins", kZipMalformed},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Extract(c.archive), c.expected) << c.name;
}

TEST(ZipArchive, RefusesMoreThanTwoGibibytes) {
  // An archive large enough that 64 times its size exceeds 2 GiB: the fixed limit decides.
  ZipEntrySpec document = Entry("model.mqo", kDocument);
  document.size = 0x80000001u;
  const std::string archive =
      MakeZip({Entry("filler.bin", std::string(33 << 20, '\0'), 0), document});
  ASSERT_GT(64 * uint64_t{archive.size()}, uint64_t{0x80000001u});
  EXPECT_EQ(Extract(archive), kZipTooLarge);
}

TEST(ZipArchive, EveryTruncationFails) {
  const std::string archive = MakeZip(
      {Entry("thumbnail.jpg", "jpeg"), Entry("model.mqo", kDocument), Entry("model.mqx", "<x/>")},
      "comment");
  ASSERT_EQ(Extract(archive), kZipOk);
  for (size_t length = 0; length < archive.size(); ++length) {
    EXPECT_NE(Extract(archive.substr(0, length)), kZipOk) << length;
  }
}

TEST(ZipArchive, AnyDamagedByteFailsOrGivesTheDocumentUnchanged) {
  const std::string archive =
      MakeZip({Entry("thumbnail.jpg", "jpeg"), Entry("model.mqo", kDocument)});
  int failures = 0;
  for (size_t at = 0; at < archive.size(); ++at) {
    std::string damaged = archive;
    damaged[at] = static_cast<char>(damaged[at] ^ 0xFF);
    std::string text;
    if (Extract(damaged, &text) == kZipOk) {
      EXPECT_EQ(text, kDocument) << at;
    } else {
      ++failures;
    }
  }
  EXPECT_GT(failures, 100);  // every byte of the document's own data and headers counts
}

class ZippedDocument : public testing::Test {
 protected:
  LoadResult Load(const std::string& bytes, Model& model) {
    const std::string path = folder_ / "model.mqoz";
    WriteFile(path, bytes);
    return LoadModel(model, path.c_str());
  }
  ScratchFolder folder_;
};

TEST_F(ZippedDocument, LoadsLikeItsText) {
  Model zipped, direct;
  ASSERT_EQ(Load(MakeZip({Entry("thumbnail.jpg", "jpeg"), Entry("model.mqo", kDocument)}), zipped),
            kLoadOk);
  ASSERT_EQ(LoadText(direct, kDocument), kLoadOk);
  EXPECT_EQ(Describe(zipped), Describe(direct));
  EXPECT_EQ(QzBytes(zipped, true), QzBytes(direct, true));
}

TEST_F(ZippedDocument, OutcomesOfArchivesThatGiveNoModel) {
  const std::string good = MakeZip({Entry("model.mqo", kDocument)});
  const struct {
    const char* name;
    std::string bytes;
    LoadResult expected;
  } cases[] = {
      {"the entry is no MQO text", MakeZip({Entry("model.mqo", "PK other text")}), kLoadNotMqo},
      {"no document entry", MakeZip({Entry("model.mqx", "<x/>")}), kLoadUnreadable},
      {"truncated", good.substr(0, good.size() - 1), kLoadUnreadable},
      {"only the local header's signature", "PK\x03\x04", kLoadUnreadable},
      {"fewer bytes than a signature", "PK\x03", kLoadNotMqo},
      {"an end record is no archive", std::string("PK\x05\x06", 4) + std::string(18, '\0'),
       kLoadNotMqo},
  };
  for (const auto& c : cases) {
    Model model;
    EXPECT_EQ(Load(c.bytes, model), c.expected) << c.name;
    EXPECT_TRUE(model.objects.empty()) << c.name;
  }
}

TEST_F(ZippedDocument, TheBudgetCountsTheInflatedText) {
  // The table costs more than the archive's size but less than its text's.
  const std::string text = "Metasequoia\n" + std::string(1000, ' ') + "\nMaterial 900 {\n}\n";
  const std::string archive = MakeZip({Entry("model.mqo", text)});
  ASSERT_LT(archive.size(), 900u);
  Model model;
  ASSERT_EQ(Load(archive, model), kLoadOk);
  EXPECT_EQ(model.materials.size(), 900u);
}

}  // namespace
