// The Windows program's settings as a conversion takes them, and the message boxes' texts after
// one file and after several: the same on every build.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "front/program_settings.h"
#include "front/resources/texts.h"
#include "tests/support/byte_digest.h"
#include "tests/support/golden_hex.h"
#include "tests/support/test_support.h"

namespace {

using namespace std::string_literals;

TEST(ProgramSettings, MakeTheConversionOptions) {
  // Rows: settings, the flat box, the options they make.
  using O = ConversionOptions;
  const std::tuple<ProgramSettings, bool, ConversionOptions> cases[] = {
      {{}, false, O{}},
      {{}, true, O{.smooth = false}},
      {{.mirror = true}, false, O{.bakeMirrors = true}},
      {{.visibleOnly = true}, false, O{.visibleOnly = true}},
      {{.subdivide = true}, false, O{.subdivide = true}},
      {{.lathe = true}, false, O{.lathe = true}},
      {{.facetNormals = true}, false, O{.shadedNormals = true}},
      {{.facetNormals = true}, true, O{.smooth = false, .shadedNormals = true}},  // flat wins
      {{.warnings = true}, false, O{.noteModel = true}},
      {{.asShown = true},
       false,
       O{.bakeMirrors = true,
         .visibleOnly = true,
         .lathe = true,
         .subdivide = true,
         .shadedNormals = true}},
      {{.asShown = true, .warnings = true},
       true,
       O{.smooth = false,
         .bakeMirrors = true,
         .visibleOnly = true,
         .lathe = true,
         .subdivide = true,
         .noteModel = true,
         .shadedNormals = true}},
  };
  for (const auto& [settings, flat, expected] : cases) {
    const ConversionOptions o = ConversionOptionsFor(settings, flat);
    const ConversionOptions& e = expected;
    EXPECT_EQ(std::tie(o.smooth, o.bakeMirrors, o.visibleOnly, o.lathe, o.subdivide, o.noteModel,
                       o.shadedNormals),
              std::tie(e.smooth, e.bakeMirrors, e.visibleOnly, e.lathe, e.subdivide, e.noteModel,
                       e.shadedNormals))
        << &settings - &std::get<0>(cases[0]);
  }
}

// The settings convert as the command line's options do: shown.mqo (a mirror object, a hidden
// one) into the bytes the Linux build writes with no option and with --mirror --visible-only.
TEST(ProgramSettings, ConvertAsTheCommandLineDoes) {
  const std::pair<ProgramSettings, const char*> cases[] = {
      {{}, "shown.smooth.hex"},
      {{.subdivide = true, .lathe = true, .warnings = true}, "shown.smooth.hex"},  // none there
      {{.mirror = true, .visibleOnly = true}, "shown.baked.hex"},
      {{.asShown = true}, "shown.baked.hex"},
  };
  ScratchFolder folder;
  const std::string written = folder / "shown.qz";
  for (const auto& [settings, golden] : cases) {
    const Conversion conversion = Convert(GoldenPath("shown.mqo").c_str(), written.c_str(),
                                          ConversionOptionsFor(settings, false));
    EXPECT_EQ(conversion.outcome, kConverted) << golden;
    const std::string bytes = ReadFile(written);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()),
              ParseHex(ReadFile(GoldenPath(golden))))
        << golden;
  }
}

// as_shown=1 on real documents (mirrors, a subdivision surface, 1.2 MB): the bytes Linux's
// --as-shown writes, named by their digests.
TEST(ProgramSettings, AsShownWritesWhatTheCommandLineWrites) {
  const auto digests = ReadDigests(VUV2EZ_TEST_DATA "/as_shown_digests.txt");
  ASSERT_EQ(digests.size(), 3u);
  ScratchFolder folder;
  const std::string written = folder / "shown.qz";
  for (const auto& [document, digest] : digests) {
    const std::string source = VUV2EZ_CORPUS_DIR "/" + document;
    if (ReadFile(source).empty()) GTEST_SKIP() << "no corpus at " << VUV2EZ_CORPUS_DIR;
    const Conversion conversion =
        Convert(source.c_str(), written.c_str(), ConversionOptionsFor({.asShown = true}, false));
    EXPECT_EQ(conversion.outcome, kConverted) << document;
    EXPECT_EQ(ByteDigest(ReadFile(written)), digest) << document;
  }
}

TEST(ProgramSettings, WarningsNameTheKeysInsteadOfOptions) {
  const std::pair<std::string, std::string> cases[] = {
      {"(--visible-only で除きます)", "(vuv2ez.ini の visible_only=1 で除きます)"},
      {"--mirror --lathe", "vuv2ez.ini の mirror=1 vuv2ez.ini の lathe=1"},
      {"--subdivide,--facet-normals,--as-shown",
       "vuv2ez.ini の subdivide=1,vuv2ez.ini の facet_normals=1,vuv2ez.ini の as_shown=1"},
      {"--mirror--mirror", "vuv2ez.ini の mirror=1vuv2ez.ini の mirror=1"},
      {"--flat -q --quiet", "--flat -q --quiet"},  // no key does what they do
      {"", ""},
  };
  for (const auto& [warning, worded] : cases)
    EXPECT_EQ(WordedForSettingsFile(warning), worded);
}

Conversion Converted(uint64_t hidden, uint64_t fanned) {
  Conversion conversion;
  conversion.notes.hiddenObjects = hidden;
  conversion.notes.fannedFaces = fanned;
  return conversion;
}

Conversion Failed(ConversionOutcome outcome) {
  Conversion conversion = Converted(1, 1);
  conversion.outcome = outcome;
  return conversion;
}

const std::string kHidden2 =
    kWarningText + (kHiddenNote.before + "2"s) + WordedForSettingsFile(kHiddenNote.after);
const std::string kFanned3 = kWarningText + (kFanNote.before + "3"s) + kFanNote.after;

TEST(OutcomeMessage, AddsTheWarningsOfAConversionWhenAsked) {
  const std::tuple<Conversion, bool, std::string> cases[] = {
      {Converted(2, 3), false, kFinishedText},
      {Converted(2, 3), true, kFinishedText + "\n"s + kHidden2 + "\n" + kFanned3},
      {Converted(0, 0), true, kFinishedText},
      {Failed(kSourceUnreadable), true, kReadFailedText},
      {Failed(kSourceNotMqo), true, kNotMqoText},
      {Failed(kDestinationUnwritable), true, kWriteFailedText},
  };
  for (const auto& [conversion, warnings, text] : cases)
    EXPECT_EQ(OutcomeMessage(conversion, warnings), text);
  EXPECT_NE(kHidden2.find("visible_only=1"), std::string::npos);
}

// `count` files named 1, 2, ..., each converted with `conversion`.
std::string ListOf(size_t count, const Conversion& conversion, bool warnings) {
  std::vector<std::string> paths;
  for (size_t i = 1; i <= count; ++i)
    paths.push_back(std::to_string(i));
  return OutcomeListMessage(paths, std::vector<Conversion>(count, conversion), warnings);
}

// Lines "1: <text>" to "<last>: <text>".
std::string Lines(size_t last, const std::string& text) {
  std::string lines;
  for (size_t i = 1; i <= last; ++i)
    lines.append(i > 1 ? "\n" : "").append(std::to_string(i)).append(": ").append(text);
  return lines;
}

std::string More(size_t count) {
  return "\n"s + kMoreFilesNote.before + std::to_string(count) + kMoreFilesNote.after;
}

TEST(OutcomeListMessage, ListsAtMostTwentyLinesThenHowManyMore) {
  const std::string done = kFinishedText;
  const std::tuple<size_t, Conversion, bool, std::string> cases[] = {
      {2, Converted(0, 0), false, Lines(2, done)},
      {20, Converted(0, 0), false, Lines(20, done)},
      {21, Converted(0, 0), false, Lines(20, done) + More(1)},
      {1000, Failed(kSourceNotMqo), false, Lines(20, kNotMqoText) + More(980)},
      {2, Converted(2, 3), false, Lines(2, done)},
      {2, Failed(kSourceUnreadable), true, Lines(2, kReadFailedText)},
      // A file's warnings follow it, indented, and count as lines.
      {2, Converted(2, 3), true,
       "1: "s + done + "\n  " + kHidden2 + "\n  " + kFanned3 + "\n2: " + done + "\n  " + kHidden2 +
           "\n  " + kFanned3},
  };
  for (const auto& [count, conversion, warnings, text] : cases)
    EXPECT_EQ(ListOf(count, conversion, warnings), text) << count;
  // Files 1 to 6, then 7 and its first warning; file 8 is not listed.
  const std::string list = ListOf(8, Converted(2, 3), true);
  const std::string sixFiles = ListOf(6, Converted(2, 3), true);
  EXPECT_EQ(list, sixFiles + "\n7: " + done + "\n  " + kHidden2 + More(1));
}

TEST(OutcomeListMessage, NamesEachFileAsGiven) {
  const std::vector<std::string> paths = {"C:\\my models\\a.mqo", "b.mqo", ""};
  const std::vector<Conversion> conversions = {Converted(0, 0), Failed(kSourceUnreadable),
                                               Failed(kDestinationUnwritable)};
  EXPECT_EQ(OutcomeListMessage(paths, conversions, false),
            "C:\\my models\\a.mqo: "s + kFinishedText + "\nb.mqo: " + kReadFailedText +
                "\n: " + kWriteFailedText);
}

}  // namespace
