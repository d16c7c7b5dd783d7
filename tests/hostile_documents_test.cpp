// Time and memory stay bounded by the text's size whatever its counts say: every hostile document
// is loaded and written in every normal mode in a child process whose processor time and memory
// growth are measured, at 1 MiB (256 KiB for the most records per byte). Inputs that once crashed,
// hung or failed a check (data/fuzz_regressions/) go through the fuzz targets' checks, each in a
// child with a time limit, so that a hang fails the test instead of stalling the suite.
#include <gtest/gtest.h>

#include <filesystem>

#include "reader/mqo_reader.h"
#include "tests/child_usage.h"
#include "tests/hostile_documents.h"
#include "tests/support/conversion_check.h"
#include "tests/support/test_support.h"
#include "writer/qz_writer.h"

// A row is shown by its name (found by argument-dependent lookup, so beside the type).
void PrintTo(const HostileDocument& document, std::ostream* out) {
  *out << document.name;
}

namespace {

// Writes the model nowhere, only counting its bytes: the writer's own memory is measured, not a
// copy of its output.
bool WritesWhole(const Model& model, NormalMode normals) {
  uint64_t total = 0;
  const QzSink counter{[](void* context, const void*, size_t size) {
                         *static_cast<uint64_t*>(context) += size;
                         return true;
                       },
                       &total};
  return WriteQz(model, WriteOptions{normals}, counter) && total >= 48;
}

class Hostile : public testing::TestWithParam<HostileDocument> {};

TEST_P(Hostile, LoadsInTimeAndMemoryLinearInItsSize) {
  const HostileDocument& document = GetParam();
  const size_t size = std::string_view(document.name) == "tiny-faces" ? 256 << 10 : 1 << 20;
  const std::string built = document.text(size);
  ASSERT_LE(built.size(), size) << document.name;
  // Copied before the child starts, so that only what the reader and the writer take is measured.
  const auto text = ExactCopy(built);
  const long limitKiB = document.bytesPerByte > 0
                            ? document.bytesPerByte * static_cast<long>(size) / 1024
                            : 50 * 1024;
  Model model;  // kept alive in the child, so that what the model holds is measured
  const ChildUsage usage = RunInChild(
      [&] {
        const LoadResult result = LoadModelFromText(model, text.get(), built.size());
        if (result == kLoadOk && (document.bake.lathe || document.bake.subdivide)) {
          const uint64_t memory = static_cast<uint64_t>(limitKiB) * 1024;
          if (BakeModel(model, document.bake, memory).failure != document.baked) return -2;
          if (document.baked != kWriteCauseNone) return static_cast<int>(result);
        }
        const bool written = result != kLoadOk || (WritesWhole(model, kSmoothNormals) &&
                                                   WritesWhole(model, kFlatNormals) &&
                                                   WritesWhole(model, kShadedNormals));
        return written ? static_cast<int>(result) : -1;
      },
      20);
  ASSERT_TRUE(usage.finished) << document.name << ": killed, or still running after 20 s";
  EXPECT_EQ(usage.result, document.result) << document.name;
  EXPECT_LT(usage.cpuSeconds, document.bytesPerByte > 0 ? 10.0 : 1.0) << document.name;
  EXPECT_LT(usage.peakResidentGrowthKiB, limitKiB) << document.name;
  EXPECT_LT(usage.heldAddressSpaceGrowthKiB, limitKiB) << document.name;
}

INSTANTIATE_TEST_SUITE_P(Documents, Hostile, testing::ValuesIn(kHostileDocuments),
                         [](const auto& row) { return "row" + std::to_string(row.index); });

TEST(FuzzRegressions, EveryFixturePassesTheConversionChecks) {
  int inputs = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(VUV2EZ_TEST_DATA) + "/fuzz_regressions")) {
    const std::string name = entry.path().filename().string();
    if (name == "README.md") continue;
    const std::string bytes = ReadFile(entry.path().string());
    for (const auto check : {CheckTextConversion, CheckFileConversion}) {
      const ChildUsage usage = RunInChild(
          [&] {
            ScratchFolder folder;
            const auto copy = ExactCopy(bytes);
            const std::string error =
                check(reinterpret_cast<const uint8_t*>(copy.get()), bytes.size(), folder.path);
            if (!error.empty()) std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
            return error.empty() ? 0 : 1;
          },
          60);
      EXPECT_TRUE(usage.finished && usage.result == 0) << name << ": failed, or hung for 60 s";
    }
    ++inputs;
  }
  EXPECT_GT(inputs, 0);
}

}  // namespace
