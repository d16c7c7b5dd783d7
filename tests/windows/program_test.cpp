// vuv2ez.exe started as Windows starts a program, with exact raw command lines. A row names the
// command line, the message box the program then shows (no owner, caption VUV2EZ, one OK button;
// read, then answered) or else its dialog (closed), its exit status, and the one file of the
// folder it changes: that file then holds the golden bytes of cube.mqo converted with smooth
// normals, which the Linux build writes too, and everything else in the folder is as it was.
#include <gtest/gtest.h>

#include "front/resources/dialog_layout.h"
#include "front/resources/texts.h"
#include "tests/windows/windows_test_support.h"

namespace {

using namespace std::string_literals;

struct Row {
  const char* name;
  std::string arguments;  // what follows the program's quoted path and a blank; '$': the folder
  const char* message;    // the message box's text; nullptr: the dialog
  DWORD exitStatus;
  const char* made = nullptr;  // the file converted into
};

const Row kRows[] = {
    {"QuotedPathWithABlank", "\"$\\with blank.mqo\"", kFinishedText, 0, "with blank.mqo.qz"},
    // ソ and 表 end in the byte 5C, a backslash's: the path is still taken whole.
    {"PathInCodePage932", "\"$\\ソース表.mqo\"", kFinishedText, 0, "ソース表.mqo.qz"},
    {"ExistingDestinationIsReplaced", "\"$\\again.mqo\"", kFinishedText, 0, "again.mqo.qz"},
    // The first and last characters are dropped, whatever they are.
    {"BlankAfterTheClosingQuote", "\"$\\cube.mqo\" ", kReadFailedText, 1},
    {"UnquotedPath", "$\\cube.mqo", kReadFailedText, 1},
    {"TwoQuotes", "\"\"", kReadFailedText, 1},
    {"OneCharacter", "x", kReadFailedText, 1},
    {"MissingFile", "\"$\\missing.mqo\"", kReadFailedText, 1},
    {"EmptyFileIsNotMqo", "\"$\\empty.mqo\"", kNotMqoText, 1},
    // The source named with a final "\." is cube.mqo itself; the destination "cube.mqo\..qz"
    // then lies in a folder "cube.mqo", which does not exist.
    {"DestinationInAMissingFolder", "\"$\\cube.mqo\\.\"", kWriteFailedText, 1},
    {"DestinationIsAFolder", "\"$\\taken.mqo\"", kWriteFailedText, 1},
    // Blanks after the program's name are not part of the command line.
    {"EmptyCommandLineOpensTheDialog", "", nullptr, 0},
    {"BlanksOnlyOpenTheDialog", "   ", nullptr, 0},
};

class Program : public testing::TestWithParam<Row> {};

TEST_P(Program, AnswersItsRawCommandLine) {
  const Row& row = GetParam();
  ScratchFolder scratch;
  // The folder every row starts with: cube.mqo under several names, an empty file, a destination
  // already converted to, and one taken by a folder.
  const std::string cube = Cube();
  const Files before = {{"cube.mqo", cube},     {"with blank.mqo", cube},
                        {"ソース表.mqo", cube}, {"empty.mqo", ""},
                        {"again.mqo", cube},    {"again.mqo.qz", "an older conversion"},
                        {"taken.mqo", cube},    {"taken.mqo.qz\\", ""}};
  Put(scratch.path, before);
  // Found beside this program, the first place Windows looks.
  std::string line = InFolder("\"vuv2ez.exe\" " + row.arguments, scratch.path);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  // A message box with one OK button, or else the dialog with its button and its check box.
  const auto& controls = kConversionDialogControls;
  const std::string expected = row.message != nullptr ? kCaption + ": "s + row.message + " [OK]"
                                                      : kCaption + ":  ["s + controls[2].text +
                                                            "][" + controls[5].text + "]";
  const HWND shown = FindDialog(process.dwProcessId, 0, 20000);
  EXPECT_EQ(GetWindow(shown, GW_OWNER), nullptr);
  EXPECT_EQ(ReadAndClose(shown), expected);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 99);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  EXPECT_EQ(status, row.exitStatus);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  Files after = before;
  if (row.made) after[row.made] = CubeConverted(true);
  EXPECT_EQ(Contents(scratch.path), after);
}

INSTANTIATE_TEST_SUITE_P(Rows, Program, testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
