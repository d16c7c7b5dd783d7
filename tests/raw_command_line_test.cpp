// The raw command line of the Windows program: split on blanks outside double quotes; one quoted
// token has its first and last characters dropped, one unquoted token is taken as it stands when
// it names a file, two or more are each a path.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "front/command_line.h"

namespace {

// The files that exist, for these rows.
bool IsFile(const char* path) {
  for (const char* file : {"C:\\a.mqo", "b.mqo", "C:\\my models\\ship.mqo", "a\\b"}) {
    if (std::strcmp(path, file) == 0) return true;
  }
  return false;
}

TEST(RawCommandLine, IsSplitOnBlanksOutsideQuotes) {
  // Rows: the raw command line, the sources it names (none: the dialog opens).
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"", {}},
      // One quoted token: the first and last characters are dropped, whatever they are.
      {"\"C:\\models\\ship.mqo\"", {"C:\\models\\ship.mqo"}},
      {"\"C:\\my models\\ship.mqo\" ", {"C:\\my models\\ship.mqo\""}},
      {"\"C:\\a.mqo\"", {"C:\\a.mqo"}},
      {"\"\"", {""}},
      {"C:\\\"a.mqo\"", {":\\\"a.mqo"}},
      // One unquoted token: the file it names, or else as if quoted.
      {"C:\\a.mqo", {"C:\\a.mqo"}},
      {"b.mqo", {"b.mqo"}},
      {"C:\\missing.mqo", {":\\missing.mq"}},
      {"x", {""}},
      {"a\\b", {"a\\b"}},  // a backslash is a character like any other
      // Two or more: each a path, its quotes removed, whether or not it names a file.
      {"\"a.mqo\" \"b.mqo\"", {"a.mqo", "b.mqo"}},
      {"\"C:\\my models\\ship.mqo\" C:\\a.mqo missing.mqo",
       {"C:\\my models\\ship.mqo", "C:\\a.mqo", "missing.mqo"}},
      {"a.mqo\t  b.mqo  ", {"a.mqo", "b.mqo"}},
      {"x\"y z\"w \"\" v", {"xy zw", "", "v"}},
      {"\"a b\\\" c", {"a b\\", "c"}},  // no backslash escapes a quote
      {"\"a b c", {"a b "}},            // an unclosed quote runs to the end: one quoted token
  };
  for (const auto& [raw, sources] : cases) {
    const RawCommandLine line = InterpretRawCommandLine(raw, IsFile);
    EXPECT_EQ(line.dialog, sources.empty()) << raw;
    EXPECT_EQ(line.sourcePaths, sources) << raw;
  }
}

}  // namespace
