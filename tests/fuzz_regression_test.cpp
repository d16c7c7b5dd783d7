// Inputs that once crashed, hung or failed a check (tests/data/fuzz_regressions/) go through the
// fuzz targets' checks again, each in a child process with a time limit, so that a hang fails
// this test instead of stalling the suite.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzz/conversion_check.h"
#include "tests/child_usage.h"
#include "tests/test_support.h"

namespace {

constexpr unsigned kSecondsPerInput = 20;
constexpr char kMeaning[] =
    " (1: a check failed, as printed above; -1: crashed, or still running "
    "after 20 s)";

// Runs one of the checks in a child: 0 when it holds; its failure is printed there.
int CheckInChild(const char* way, const std::string& name, const std::string& bytes,
                 std::string (*checkConversion)(const uint8_t*, size_t, const std::string&)) {
  const ChildUsage usage = RunInChild(
      [&] {
        ScratchFolder folder;
        const std::string error = checkConversion(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                  bytes.size(), folder.path);
        if (!error.empty()) std::fprintf(stderr, "%s, %s: %s\n", name.c_str(), way, error.c_str());
        return error.empty() ? 0 : 1;
      },
      kSecondsPerInput);
  return usage.finished ? usage.result : -1;
}

TEST(FuzzRegressions, EveryFixturePassesTheConversionChecks) {
  const std::filesystem::path folder = std::string(VUV2EZ_TEST_DATA) + "/fuzz_regressions";
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name == "README.md") continue;
    const std::string bytes = ReadFile(entry.path().string());
    EXPECT_EQ(CheckInChild("as text", name, bytes, CheckTextConversion), 0)
        << name << " as text" << kMeaning;
    EXPECT_EQ(CheckInChild("as a file", name, bytes, CheckFileConversion), 0)
        << name << " as a file" << kMeaning;
    ++inputs;
  }
  EXPECT_GT(inputs, 0);
}

}  // namespace
