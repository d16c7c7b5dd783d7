// The raw command line of the Windows program: its first and last characters are dropped.
#include <gtest/gtest.h>

#include <string>

#include "front/command_line.h"

namespace {

using namespace std::string_literals;

TEST(RawCommandLine, FirstAndLastCharactersAreDropped) {
  // Rows: the raw command line, the source it names (nullptr: none, the dialog opens).
  const std::pair<const char*, const char*> cases[] = {
      {"", nullptr},
      {"\"C:\\models\\ship.mqo\"", "C:\\models\\ship.mqo"},
      {"\"C:\\my models\\ship.mqo\" ", "C:\\my models\\ship.mqo\""},
      {"C:\\a.mqo", ":\\a.mq"},
      {"\"\"", ""},
      {"x", ""},
      {"\"a.mqo\" \"b.mqo\"", "a.mqo\" \"b.mqo"},
  };
  for (const auto& [raw, source] : cases) {
    const RawCommandLine line = InterpretRawCommandLine(raw);
    EXPECT_EQ(line.dialog, source == nullptr) << raw;
    if (source == nullptr) continue;
    EXPECT_EQ(line.sourcePath, source) << raw;
    EXPECT_EQ(line.destinationPath, source + ".qz"s) << raw;
  }
}

}  // namespace
