// The raw command line of the Windows program: its first and last characters are dropped.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
