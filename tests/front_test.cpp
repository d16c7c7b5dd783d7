// The paths in a terminal paste, which is how a file is dropped on the dialog in a terminal (the
// dialog's model is played in dialog_model_test.cpp, its terminal view in terminal_dialog_test.sh).
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "front/terminal/paste_paths.h"

namespace {

// Rows: how a terminal pastes, what it pasted, the paths taken from it.
TEST(PastedPaths, EveryFormTerminalsPasteFilesIn) {
  const std::tuple<const char*, std::string, std::vector<std::string>> cases[] = {
      {"plain, blanks in and around it, a line break after", " /u/a b.mqo \r\n", {"/u/a b.mqo"}},
      {"single quotes, a quote in, \\ kept", "'/u/it'\\''s \\n.mqo'", {"/u/it's \\n.mqo"}},
      {"double quotes, \\ \" $ ` escaped", R"("/a/\"b\" \\ \$x \`\n")", {R"(/a/"b" \ $x `\n)"}},
      {"backslashes, quotes mid-word", R"(/my\ m/it\'s/'a b'/"c d")", {"/my m/it's/a b/c d"}},
      {"URI escapes, either case", "file:///%39%2f%2F%e3%83%a2%E3%83%AD%zz%2", {"/9//モロ%zz%2"}},
      {"URIs: host, 1 slash, caps", "file://host/a file:/b 'FILE:///c%20d'", {"/a", "/b", "/c d"}},
      {"a URI naming no path, empty quotes", "file://desk '' \"\" /a", {"/a"}},
      {"quoted, tab or blank between, last quote open", "'/a' '/b c'\t'/d", {"/a", "/b c", "/d"}},
      {"plain, each starting like a path", "/a /b ~/c", {"/a", "/b", "~/c"}},
      {"one a line, with either line break", "file:///a\r\n/b c\r/d\n", {"/a", "/b c", "/d"}},
      {"blank", " \t\r\n ", {}},
  };
  for (const auto& [form, pasted, paths] : cases)
    EXPECT_EQ(PastedPaths(pasted), paths) << form;
}

}  // namespace
