// vuv2ez.exe started as Windows starts a program, with exact raw command lines, from a copy of it
// in a folder of its own beside which a row may put a settings file. A row names the command
// line, the message box the program then shows (no owner, caption VUV2EZ, one OK button; read,
// then answered) or else its dialog (closed), its exit status, and the files of the folder it
// converts into: each then holds the golden bytes the Linux build writes with the same choices,
// and everything else in the folder is as it was. Last, as_shown=1 on real documents.
#include <gtest/gtest.h>

#include "front/resources/dialog_layout.h"
#include "front/resources/texts.h"
#include "tests/support/byte_digest.h"
#include "tests/windows/windows_test_support.h"

namespace {

using namespace std::string_literals;

struct Made {
  const char* file;
  const char* golden;  // in data/golden/
};

struct Row {
  const char* name;
  std::string arguments;  // what follows the program's quoted path and a blank; '$': the folder
  std::string message;    // the message box's text, '$' the folder; "": the dialog
  DWORD exitStatus;
  std::vector<Made> made = {};
  std::string settings = "";           // vuv2ez.ini beside the program; "": none
  const char* program = "vuv2ez.exe";  // the name of its copy
};

const Made kCube = {"cube.mqo.qz", "cube.smooth.hex"};
const std::string kDone = kFinishedText, kUnread = kReadFailedText;
// The settings file the .zip ships, every key 0, in code page 932 as Windows reads it.
const std::string kShipped = ReadFile(VUV2EZ_SETTINGS_FILE);
// A UTF-8 byte-order mark, binary junk with zeros and code page 932's trail bytes, an unknown key,
// a key outside the section and values other than 1: nothing turned on.
const std::string kJunk = "\xEF\xBB\xBF" + kShipped + "\x00\xFF\x5C\x5B\r\n[convert\n\x81["s +
                          "\nmirror\nsubdivide=2\nas_shown=yes\nwarnings=-1\n[other]\nmirror=1\n" +
                          "[convert]\nflat=1\nvisible_only=on\n\x00mirror=1";

const Row kRows[] = {
    {"QuotedPathWithABlank",
     "\"$\\with blank.mqo\"",
     kDone,
     0,
     {{"with blank.mqo.qz", "cube.smooth.hex"}}},
    // ソ and 表 end in the byte 5C, a backslash's: the path is still taken whole.
    {"PathInCodePage932",
     "\"$\\ソース表.mqo\"",
     kDone,
     0,
     {{"ソース表.mqo.qz", "cube.smooth.hex"}}},
    {"ExistingDestinationIsReplaced",
     "\"$\\again.mqo\"",
     kDone,
     0,
     {{"again.mqo.qz", "cube.smooth.hex"}}},
    {"UnquotedPathNamingAFile", "$\\cube.mqo", kDone, 0, {kCube}},
    // One token with a quote, or naming no file: the first and last characters are dropped.
    {"BlankAfterTheClosingQuote", "\"$\\cube.mqo\" ", kUnread, 1},
    {"UnquotedPathToAFolder", "$\\taken.mqo.qz", kUnread, 1},
    {"TwoQuotes", "\"\"", kUnread, 1},
    {"OneCharacter", "x", kUnread, 1},
    {"MissingFile", "\"$\\missing.mqo\"", kUnread, 1},
    {"EmptyFileIsNotMqo", "\"$\\empty.mqo\"", kNotMqoText, 1},
    // The source named with a final "\." is cube.mqo itself; the destination "cube.mqo\..qz"
    // then lies in a folder "cube.mqo", which does not exist.
    {"DestinationInAMissingFolder", "\"$\\cube.mqo\\.\"", kWriteFailedText, 1},
    {"DestinationIsAFolder", "\"$\\taken.mqo\"", kWriteFailedText, 1},
    // Several paths, as Explorer passes files dropped on the program: each converted, one message.
    {"ThreePaths",
     "\"$\\with blank.mqo\" $\\cube.mqo   $\\missing.mqo",
     "$\\with blank.mqo: " + kDone + "\n$\\cube.mqo: " + kDone + "\n$\\missing.mqo: " + kUnread,
     1,
     {{"with blank.mqo.qz", "cube.smooth.hex"}, kCube}},
    {"TwoPathsAllConverted",
     "$\\cube.mqo \"$\\ソース表.mqo\"",
     "$\\cube.mqo: " + kDone + "\n$\\ソース表.mqo: " + kDone,
     0,
     {kCube, {"ソース表.mqo.qz", "cube.smooth.hex"}}},
    {"TwoPathsNoneConverted", "$\\empty.mqo \"$\\taken.mqo\"",
     "$\\empty.mqo: "s + kNotMqoText + "\n$\\taken.mqo: " + kWriteFailedText, 1},
    // Blanks after the program's name are not part of the command line.
    {"EmptyCommandLineOpensTheDialog", "", "", 0},
    {"BlanksOnlyOpenTheDialog", "   ", "", 0},
    // The settings beside the program: off, unless a key of [convert] is 1.
    {"ShippedSettingsChangeNothing",
     "$\\shown.mqo",
     kDone,
     0,
     {{"shown.mqo.qz", "shown.smooth.hex"}},
     kShipped},
    {"JunkSettingsChangeNothing",
     "$\\shown.mqo",
     kDone,
     0,
     {{"shown.mqo.qz", "shown.smooth.hex"}},
     kJunk},
    {"MirrorAndVisibleOnly",
     "$\\shown.mqo",
     kDone,
     0,
     {{"shown.mqo.qz", "shown.baked.hex"}},
     "[convert]\r\nmirror=1\r\nvisible_only=1\r\n"},
    // 表 ends in the byte 5C: the program's folder is still the one it lies in.
    {"ProgramNameInCodePage932",
     "$\\shown.mqo",
     kDone,
     0,
     {{"shown.mqo.qz", "shown.baked.hex"}},
     "[convert]\nmirror=1\nvisible_only=1\n",
     "表.exe"},
    {"AsShownWinsOverItsKeys",
     "$\\shown.mqo",
     kDone,
     0,
     {{"shown.mqo.qz", "shown.baked.hex"}},
     "[convert]\nmirror=0\nvisible_only=0\nas_shown=1\n"},
    {"WarningsNameTheKeys",
     "$\\shown.mqo",
     kDone + "\n" + kWarningText + kHiddenNote.before + "1 個も変換しました (vuv2ez.ini の " +
         "visible_only=1 で除きます)。\n" + kWarningText + kMirrorNote.before + "1 個を片側だけ" +
         "書き出しました (vuv2ez.ini の mirror=1 で両側を書き出します)。",
     0,
     {{"shown.mqo.qz", "shown.smooth.hex"}},
     "[convert]\nwarnings=1\n"},
    {"WarningsOfSeveralFiles",
     "$\\shown.mqo $\\cube.mqo",
     "$\\shown.mqo: " + kDone + "\n  " + kWarningText + kHiddenNote.before +
         "1 個も変換しました (vuv2ez.ini の visible_only=1 で除きます)。\n  " + kWarningText +
         kMirrorNote.before + "1 個を片側だけ書き出しました (vuv2ez.ini の mirror=1 で両側を" +
         "書き出します)。\n$\\cube.mqo: " + kDone,
     0,
     {{"shown.mqo.qz", "shown.smooth.hex"}, kCube},
     "[convert]\nwarnings=1\n"},
};

void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

// The path of the program built beside this one.
std::string BuiltProgram() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1) + "vuv2ez.exe";
}

class Program : public testing::TestWithParam<Row> {};

// The program copied into `folder`\program with `settings` beside it, started with `arguments`
// ('$': the folder); the message box it shows, read and answered, then its exit status.
std::pair<std::string, DWORD> RunProgram(const std::string& folder, const std::string& arguments,
                                         const std::string& settings,
                                         const char* name = "vuv2ez.exe") {
  CreateDirectoryA((folder + "\\program").c_str(), nullptr);
  const std::string program = folder + "\\program\\" + name;
  if (!CopyFileA(BuiltProgram().c_str(), program.c_str(), TRUE)) return {"not copied", 99};
  if (!settings.empty()) WriteFile(folder + "\\program\\vuv2ez.ini", settings);
  std::string line = "\"" + program + "\" " + InFolder(arguments, folder);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return {"not started", 99};
  }
  const HWND shown = FindDialog(process.dwProcessId, 0, 60000);
  std::string seen = GetWindow(shown, GW_OWNER) == nullptr ? "" : "owned ";
  seen += ReadAndClose(shown);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 99);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return {seen, status};
}

TEST_P(Program, AnswersItsRawCommandLine) {
  const Row& row = GetParam();
  ScratchFolder scratch;
  // The folder every row starts with: cube.mqo under several names, shown.mqo, an empty file, a
  // destination already converted to, one taken by a folder, and the folder of the program.
  const std::string cube = Cube();
  const Files before = {{"cube.mqo", cube},
                        {"with blank.mqo", cube},
                        {"ソース表.mqo", cube},
                        {"shown.mqo", ReadFile(GoldenPath("shown.mqo"))},
                        {"empty.mqo", ""},
                        {"again.mqo", cube},
                        {"again.mqo.qz", "an older conversion"},
                        {"taken.mqo", cube},
                        {"taken.mqo.qz\\", ""},
                        {"program\\", ""}};
  Put(scratch.path, before);
  // A message box with one OK button, or else the dialog with its button and its check box.
  const auto& controls = kConversionDialogControls;
  const std::string expected =
      !row.message.empty() ? kCaption + ": "s + InFolder(row.message, scratch.path) + " [OK]"
                           : kCaption + ":  ["s + controls[2].text + "][" + controls[5].text + "]";
  EXPECT_EQ(RunProgram(scratch.path, row.arguments, row.settings, row.program),
            std::make_pair(expected, row.exitStatus));
  Files after = before;
  for (const Made& made : row.made) {
    const std::vector<uint8_t> golden = ParseHex(ReadFile(GoldenPath(made.golden)));
    after[made.file] = std::string(golden.begin(), golden.end());
  }
  EXPECT_EQ(Contents(scratch.path), after);
}

// With as_shown=1, real documents (mirrors, a subdivision surface, 1.2 MB) give the bytes the
// Linux command line writes with --as-shown, named by their digests.
TEST(ProgramAsShown, WritesWhatLinuxWrites) {
  for (const auto& [document, digest] : ReadDigests(VUV2EZ_TEST_DATA "/as_shown_digests.txt")) {
    const std::string source = ReadFile(VUV2EZ_CORPUS_DIR "/" + document);
    if (source.empty()) GTEST_SKIP() << "no corpus at " << VUV2EZ_CORPUS_DIR;
    ScratchFolder scratch;
    WriteFile(scratch.path + "\\" + document, source);
    EXPECT_EQ(RunProgram(scratch.path, "$\\" + document, "[convert]\r\nas_shown=1\r\n"),
              std::make_pair(kCaption + ": "s + kFinishedText + " [OK]", DWORD{0}));
    EXPECT_EQ(ByteDigest(ReadFile(scratch.path + "\\" + document + ".qz")), digest) << document;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, Program, testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
