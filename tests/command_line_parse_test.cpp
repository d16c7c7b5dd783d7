// The two command-line forms: the raw Windows command line and split arguments, interpreted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "front/command_line.h"

namespace {

TEST(RawCommandLine, FirstAndLastCharactersAreDropped) {
  const struct {
    const char* raw;
    bool dialog;
    const char* source;
  } cases[] = {
      {"", true, ""},
      {"\"C:\\models\\ship.mqo\"", false, "C:\\models\\ship.mqo"},
      {"\"C:\\my models\\ship.mqo\" ", false, "C:\\my models\\ship.mqo\""},
      {"C:\\a.mqo", false, ":\\a.mq"},
      {"\"\"", false, ""},
      {"x", false, ""},
      {"\"a.mqo\" \"b.mqo\"", false, "a.mqo\" \"b.mqo"},
  };
  for (const auto& c : cases) {
    const RawCommandLine line = InterpretRawCommandLine(c.raw);
    EXPECT_EQ(line.dialog, c.dialog) << c.raw;
    if (c.dialog) continue;
    EXPECT_EQ(line.sourcePath, c.source) << c.raw;
    EXPECT_EQ(line.destinationPath, std::string(c.source) + ".qz") << c.raw;
  }
}

TEST(Arguments, Parsing) {
  using A = Arguments;
  const struct {
    std::vector<std::string> words;
    A::Action action;
    bool flat;
    const char* output;
    std::vector<std::string> files;
  } cases[] = {
      {{"a.mqo"}, A::kConvert, false, "", {"a.mqo"}},
      {{"a.mqo", "b.mqo"}, A::kConvert, false, "", {"a.mqo", "b.mqo"}},
      {{"--flat", "a.mqo"}, A::kConvert, true, "", {"a.mqo"}},
      {{"a.mqo", "--flat"}, A::kConvert, true, "", {"a.mqo"}},
      {{"-o", "x.qz", "a.mqo"}, A::kConvert, false, "x.qz", {"a.mqo"}},
      {{"a.mqo", "--output", "-x.qz"}, A::kConvert, false, "-x.qz", {"a.mqo"}},
      {{"--", "--flat", "-"}, A::kConvert, false, "", {"--flat", "-"}},
      {{"-"}, A::kConvert, false, "", {"-"}},
      {{}, A::kDialog, false, "", {}},
      {{"-h"}, A::kHelp, false, "", {}},
      {{"a.mqo", "--help"}, A::kHelp, false, "", {"a.mqo"}},
      {{"--version"}, A::kVersion, false, "", {}},
      {{"--bogus", "a.mqo"}, A::kUsageError, false, "", {}},
      {{"a.mqo", "-o"}, A::kUsageError, false, "", {"a.mqo"}},
      {{"-o", "x.qz", "a.mqo", "b.mqo"}, A::kUsageError, false, "x.qz", {"a.mqo", "b.mqo"}},
      {{"-o", "x", "-o", "y", "a.mqo"}, A::kUsageError, false, "x", {}},
      {{"--flat"}, A::kUsageError, true, "", {}},
  };
  for (const auto& c : cases) {
    const A parsed = ParseArguments(c.words);
    const std::string where = testing::PrintToString(c.words);
    EXPECT_EQ(parsed.action, c.action) << where;
    if (c.action == A::kUsageError) {
      EXPECT_FALSE(parsed.error.empty()) << where;
      continue;
    }
    EXPECT_EQ(parsed.flat, c.flat) << where;
    EXPECT_EQ(parsed.outputPath, c.output) << where;
    EXPECT_EQ(parsed.files, c.files) << where;
  }
}

}  // namespace
