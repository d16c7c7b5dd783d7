// Time and memory stay bounded by the text's size whatever its counts say: hostile documents are
// loaded and written in a child process whose processor time and memory are measured.
#include <gtest/gtest.h>

#include <string>

#include "tests/child_usage.h"
#include "tests/stress_documents.h"
#include "tests/test_support.h"
#include "writer/qz_writer.h"

namespace {

const std::string kHead = "Metasequoia Document\nFormat Text Ver 1.0\n\n";
constexpr unsigned kKillAfterSeconds = 20;
constexpr double kFastSeconds = 1.0;
constexpr long kSmallKiB = 50 * 1024;

// The document padded with blank lines to 1 KiB.
std::string OneKiB(std::string text) {
  if (text.size() < 1024) text.append(1024 - text.size(), '\n');
  return text;
}

// Writes the model's QZ file nowhere, only counting its bytes: the writer's own memory is
// measured, not that of a copy of its output.
bool WritesWhole(const Model& model, bool smooth) {
  uint64_t total = 0;
  const QzSink counter{[](void* context, const void*, size_t size) {
                         *static_cast<uint64_t*>(context) += size;
                         return true;
                       },
                       &total};
  return WriteQz(model, smooth, counter) && total >= 48;
}

// Loads `text`, writes it in both normal modes, and returns the load result (-1 when a write
// fails); the model stays alive in `model` so that what it holds is measured too.
int LoadAndWrite(Model& model, const std::string& text) {
  const LoadResult result = LoadText(model, text);
  if (result == kLoadOk && !(WritesWhole(model, true) && WritesWhole(model, false))) return -1;
  return result;
}

void ExpectFastAndSmall(const std::string& name, const std::string& text, LoadResult expected,
                        double seconds = kFastSeconds, long kib = kSmallKiB) {
  Model model;
  const ChildUsage usage = RunInChild([&] { return LoadAndWrite(model, text); }, kKillAfterSeconds);
  ASSERT_TRUE(usage.finished) << name << ": killed, or still running after " << kKillAfterSeconds
                              << " s";
  EXPECT_EQ(usage.result, expected) << name;
  EXPECT_LT(usage.cpuSeconds, seconds) << name;
  EXPECT_LT(usage.peakResidentGrowthKiB, kib) << name;
  EXPECT_LT(usage.heldAddressSpaceGrowthKiB, kib) << name;
}

TEST(ResourceBounds, HugeDeclaredCountsFailFast) {
  ExpectFastAndSmall("2,000,000,000 vertices",
                     OneKiB(kHead + "Object \"o\" {\n vertex 2000000000 {\n  0 0 0\n }\n}\n"),
                     kLoadUnreadable);
  ExpectFastAndSmall("2,000,000,000 materials",
                     OneKiB(kHead + "Material 2000000000 {\n \"m\" col(1 1 1 1)\n}\n"),
                     kLoadUnreadable);
  ExpectFastAndSmall("2,000,000,000 face corners",
                     OneKiB(kHead + "Object \"o\" {\n face 1 {\n  2000000000 V(0 1 2)\n }\n}\n"),
                     kLoadUnreadable);
}

TEST(ResourceBounds, DeclaredFaceCountsOnlyCap) {
  ExpectFastAndSmall("2,000,000,000 faces",
                     OneKiB(kHead + "Object \"o\" {\n vertex 3 {\n  0 0 0\n  1 0 0\n  0 1 0\n }\n"
                                    " face 2000000000 {\n  3 V(0 1 2)\n }\n}\n"),
                     kLoadOk);
  // A megabyte of vertices gives the budget room; then hundreds of objects each declare millions
  // of faces and hold one. Memory must follow the faces held, not the faces declared.
  std::string text = kHead + "Object \"big\" {\n vertex 40000 {\n";
  for (int i = 0; i < 40000; ++i)
    text += "  " + std::to_string(i) + ".000000 1.000000 2.000000\n";
  text += " }\n}\n";
  for (int i = 0; i < 400; ++i) {
    text += "Object \"o" + std::to_string(i) + "\" {\n face 4000000 {\n  1 V(0)\n }\n}\n";
  }
  ExpectFastAndSmall("400 objects declaring 4,000,000 faces each", text, kLoadOk);
}

TEST(ResourceBounds, CountsWithNothingLeftToReadEndAtTheEnd) {
  // A corner count that finds no free face is not charged: at the end of the text its values
  // must not be read two billion times.
  ExpectFastAndSmall("V of 2,000,000,000 corners beyond the declared faces",
                     kHead + "Object \"o\" {\n face 0 {\n  2000000000 V(0 1 2)", kLoadOk);
  ExpectFastAndSmall("UV of 2,000,000,000 corners beyond the declared faces",
                     kHead + "Object \"o\" {\n face 0 {\n  2000000000 UV(0 1 2)", kLoadOk);
  // Missing coordinates repeat the last token, here a megabyte long: it is parsed once, not once
  // per coordinate.
  ExpectFastAndSmall("vertex count ending in a long quoted token",
                     StressDocument("count-quoted", 1 << 20), kLoadOk);
}

TEST(ResourceBounds, StressDocumentsStayLinear) {
  // Small versions of the documents measured at 100 MB by scripts/measure-resources.sh: each
  // loads and writes in memory proportional to its size, and in seconds even under the
  // sanitizers (a quadratic pass over a megabyte would take hours).
  for (std::string_view kind : StressKinds()) {
    // tiny-faces gives a face, a corner and a 168-byte record (written twice) for every two
    // bytes; the declared material table a 104-byte entry for every byte; vertices 16 bytes, and 16
    // more for their smooth normals.
    const bool tiny = kind == "tiny-faces";
    const size_t size = tiny ? 256 << 10 : 1 << 20;
    const std::string text = StressDocument(kind, size);
    ASSERT_LE(text.size(), size) << kind;
    ASSERT_GT(text.size(), size / 10 * 9) << kind;
    const long perByte = kind == "materials" ? 160 : kind == "vertices" ? 48 : tiny ? 64 : 16;
    ExpectFastAndSmall(std::string(kind), text, kLoadOk, 10.0,
                       perByte * static_cast<long>(size) / 1024);
  }
}

}  // namespace
