// The paths in a terminal paste, for every form terminals paste dropped files in.
#include <gtest/gtest.h>

#include "front/terminal/paste_paths.h"

namespace {

using Paths = std::vector<std::string>;

TEST(PastedPaths, EveryFormTerminalsPasteFilesIn) {
  const struct {
    const char* form;
    std::string pasted;
    Paths paths;
  } cases[] = {
      {"plain", "/home/u/house.mqo", {"/home/u/house.mqo"}},
      {"plain, trailing blank and line break", "/home/u/house.mqo \r\n", {"/home/u/house.mqo"}},
      {"plain with blanks", "/home/u/my models/my house.mqo", {"/home/u/my models/my house.mqo"}},
      {"plain, Japanese", "/home/u/モデル/家.mqo", {"/home/u/モデル/家.mqo"}},
      {"single quotes", "'/home/u/my models/house.mqo' ", {"/home/u/my models/house.mqo"}},
      {"single quotes, quote inside", "'/home/u/it'\\''s.mqo'", {"/home/u/it's.mqo"}},
      {"single quotes keep backslashes", "'/a\\b.mqo'", {"/a\\b.mqo"}},
      {"double quotes", "\"/home/u/my models/house.mqo\"", {"/home/u/my models/house.mqo"}},
      {"double quotes, escapes inside",
       "\"/a/say \\\"hi\\\" \\\\ \\$x \\n.mqo\"",
       {"/a/say \"hi\" \\ $x \\n.mqo"}},
      {"backslash-escaped blanks",
       "/home/u/my\\ models/house\\ 1.mqo",
       {"/home/u/my models/house 1.mqo"}},
      {"backslash-escaped quote", "/home/u/it\\'s.mqo", {"/home/u/it's.mqo"}},
      {"quoted in the middle of a word",
       "/home/u/'my models'/house.mqo",
       {"/home/u/my models/house.mqo"}},
      {"file URI", "file:///home/u/house.mqo", {"/home/u/house.mqo"}},
      {"file URI, percent escapes",
       "file:///home/u/my%20models/100%25.mqo",
       {"/home/u/my models/100%.mqo"}},
      {"file URI, escaped UTF-8 in lower case",
       "file:///u/%e3%83%a2%E3%83%87%e3%83%ab.mqo",
       {"/u/モデル.mqo"}},
      {"file URI, bad escapes kept", "file:///a%zz%2", {"/a%zz%2"}},
      {"file URI, localhost", "file://localhost/home/u/house.mqo", {"/home/u/house.mqo"}},
      {"file URI, host name", "file://desk/home/u/house.mqo", {"/home/u/house.mqo"}},
      {"file URI, one slash", "file:/home/u/house.mqo", {"/home/u/house.mqo"}},
      {"file URI, capital scheme", "FILE:///home/u/house.mqo", {"/home/u/house.mqo"}},
      {"file URI in quotes", "'file:///a%20b.mqo'", {"/a b.mqo"}},
      {"file URI, nothing after the host", "file://desk", {}},
      {"three quoted paths", "'/a.mqo' '/b c.mqo' '/d.mqo' ", {"/a.mqo", "/b c.mqo", "/d.mqo"}},
      {"three escaped paths", "/a.mqo /b\\ c.mqo /d.mqo", {"/a.mqo", "/b c.mqo", "/d.mqo"}},
      {"three plain paths", "/a.mqo /b.mqo /d.mqo", {"/a.mqo", "/b.mqo", "/d.mqo"}},
      {"three URIs, one a line",
       "file:///a.mqo\r\nfile:///b%20c.mqo\r\nfile:///d.mqo\r\n",
       {"/a.mqo", "/b c.mqo", "/d.mqo"}},
      {"two URIs on a line", "file:///a.mqo file:///b.mqo", {"/a.mqo", "/b.mqo"}},
      {"paths one a line, carriage returns", "/a b.mqo\r/c.mqo", {"/a b.mqo", "/c.mqo"}},
      {"tabs separate", "'/a.mqo'\t'/b.mqo'", {"/a.mqo", "/b.mqo"}},
      {"unterminated quote runs to the end", "'/a b.mqo", {"/a b.mqo"}},
      {"empty quotes name nothing", "'' /a.mqo", {"/a.mqo"}},
      {"empty", "", {}},
      {"blank", " \t\r\n ", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PastedPaths(c.pasted), c.paths) << c.form;
  }
}

}  // namespace
