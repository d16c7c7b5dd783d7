// vuv2ez.exe started as Windows starts a program, with exact raw command lines: the message box
// it shows (caption, text bytes, no owner, one button), pressed OK; its exit status; what it
// wrote, byte for byte against the golden files, which hold what the Linux build writes for the
// same document. And with an empty command line, the dialog.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "front/resources/conversion_dialog.h"
#include "front/resources/dialog_layout.h"
#include "front/resources/texts.h"
#include "tests/golden_hex.h"
#include "tests/test_support.h"
#include "tests/windows/window_search.h"

namespace {

std::string ProgramPath() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.find_last_of('\\') + 1) + "vuv2ez.exe";
}

struct Process {
  PROCESS_INFORMATION info{};
  bool started = false;

  // The command line is the quoted program path, one blank and `arguments` exactly; the program
  // receives `arguments` as its raw command line.
  explicit Process(const std::string& arguments) {
    std::string line = ProgramPath();
    line.insert(0, 1, '"');
    line.append("\" ").append(arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info) != 0;
  }
  ~Process() {
    if (!started) return;
    if (WaitForSingleObject(info.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  // The exit status once the process has ended; -1 if it is still running after 10 s.
  long ExitStatus() {
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) return -1;
    DWORD status = 0;
    GetExitCodeProcess(info.hProcess, &status);
    return static_cast<long>(status);
  }
};

// Starts the program, waits for its message box, reads it, presses OK, and returns what was shown
// and the exit status.
struct Outcome {
  bool boxShown = false;
  MessageBoxSeen box;
  long exitStatus = -1;
};

Outcome RunProgram(const std::string& arguments) {
  Outcome outcome;
  Process process(arguments);
  EXPECT_TRUE(process.started) << arguments;
  if (!process.started) return outcome;
  const HWND box =
      WaitForMessageBoxOfProcess(process.info.hProcess, process.info.dwProcessId, 20000);
  outcome.boxShown = box != nullptr;
  if (box != nullptr) {
    outcome.box = ReadMessageBox(box);
    PressOk(box);
  }
  outcome.exitStatus = process.ExitStatus();
  return outcome;
}

// A message box as the command-line way shows it: no owner, caption "VUV2EZ", one OK button.
void ExpectMessage(const Outcome& outcome, const char* text, long exitStatus) {
  ASSERT_TRUE(outcome.boxShown) << "no message box";
  EXPECT_EQ(outcome.box.text, text);
  EXPECT_EQ(outcome.box.caption, kCaption);
  EXPECT_EQ(outcome.box.owner, nullptr);
  EXPECT_EQ(outcome.box.buttons, 1);
  EXPECT_EQ(outcome.box.okText, "OK");
  EXPECT_EQ(outcome.exitStatus, exitStatus);
}

// Files with names in code page 932, through the narrow functions the program uses too.
void Put(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);
}

std::vector<uint8_t> Take(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(file)) != EOF;)
      bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
  }
  return bytes;
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

class Program : public testing::Test {
 protected:
  void SetUp() override {
    base_ = folder_.path;
    for (char& c : base_)
      if (c == '/') c = '\\';
    cube_ = ReadFile(GoldenPath("cube.mqo"));
    ASSERT_FALSE(cube_.empty());
  }
  std::string Folder(const std::string& name) {
    const std::string path = base_ + "\\" + name;
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    return path;
  }

  ScratchFolder folder_;
  std::string base_;
  std::string cube_;
};

TEST_F(Program, QuotedPathWithASpaceIsConvertedWithSmoothNormals) {
  const std::string folder = Folder("with space");
  Put(folder + "\\cube.mqo", cube_);
  ExpectMessage(RunProgram("\"" + folder + "\\cube.mqo\""), kFinishedText, 0);
  EXPECT_EQ(Take(folder + "\\cube.mqo.qz"), GoldenBytes("cube", true));
  EXPECT_EQ(Entries(folder), (std::vector<std::string>{"cube.mqo", "cube.mqo.qz"}));
}

TEST_F(Program, PathWithJapaneseCharactersInCodePage932) {
  // ソ and 表 end in the byte 5C, a backslash's: the path must still be taken whole.
  const std::string folder = Folder("モデル");
  Put(folder + "\\ソース表.mqo", cube_);
  const Outcome outcome = RunProgram("\"" + folder + "\\ソース表.mqo\"");
  ExpectMessage(outcome, kFinishedText, 0);
  EXPECT_EQ(Take(folder + "\\ソース表.mqo.qz"), GoldenBytes("cube", true));
  EXPECT_EQ(Entries(folder), (std::vector<std::string>{"ソース表.mqo", "ソース表.mqo.qz"}));
}

TEST_F(Program, BlankAfterTheClosingQuoteKeepsTheQuote) {
  const std::string folder = Folder("with space");
  Put(folder + "\\cube.mqo", cube_);
  ExpectMessage(RunProgram("\"" + folder + "\\cube.mqo\" "), kReadFailedText, 1);
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"cube.mqo"});
}

TEST_F(Program, UnquotedPathLosesItsFirstAndLastCharacters) {
  const std::string folder = Folder("plain");
  Put(folder + "\\cube.mqo", cube_);
  ExpectMessage(RunProgram(folder + "\\cube.mqo"), kReadFailedText, 1);
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"cube.mqo"});
}

TEST_F(Program, TwoCharactersGiveAnEmptyPath) {
  ExpectMessage(RunProgram("\"\""), kReadFailedText, 1);
  ExpectMessage(RunProgram("ab"), kReadFailedText, 1);
}

TEST_F(Program, MissingFile) {
  ExpectMessage(RunProgram("\"" + base_ + "\\missing.mqo\""), kReadFailedText, 1);
  EXPECT_EQ(Entries(base_), std::vector<std::string>{});
}

TEST_F(Program, EmptyFileIsNotAnMqoDocument) {
  Put(base_ + "\\empty.mqo", "");
  ExpectMessage(RunProgram("\"" + base_ + "\\empty.mqo\""), kNotMqoText, 1);
  EXPECT_EQ(Entries(base_), std::vector<std::string>{"empty.mqo"});
}

TEST_F(Program, DestinationInAFolderThatDoesNotExist) {
  // The source named with a final "\." reads cube.mqo itself; the destination "cube.mqo\..qz"
  // then lies in a folder "cube.mqo", which does not exist (a file has that name).
  const std::string folder = Folder("folder");
  Put(folder + "\\cube.mqo", cube_);
  ExpectMessage(RunProgram("\"" + folder + "\\cube.mqo\\.\""), kWriteFailedText, 1);
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"cube.mqo"});
}

TEST_F(Program, DestinationThatIsAFolder) {
  const std::string folder = Folder("taken");
  Put(folder + "\\cube.mqo", cube_);
  Folder("taken\\cube.mqo.qz");
  ExpectMessage(RunProgram("\"" + folder + "\\cube.mqo\""), kWriteFailedText, 1);
  EXPECT_EQ(Entries(folder), (std::vector<std::string>{"cube.mqo", "cube.mqo.qz"}));
  EXPECT_EQ(Entries(folder + "\\cube.mqo.qz"), std::vector<std::string>{});
}

TEST_F(Program, ExistingDestinationIsReplaced) {
  const std::string folder = Folder("again");
  Put(folder + "\\cube.mqo", cube_);
  Put(folder + "\\cube.mqo.qz", "an older conversion");
  ExpectMessage(RunProgram("\"" + folder + "\\cube.mqo\""), kFinishedText, 0);
  EXPECT_EQ(Take(folder + "\\cube.mqo.qz"), GoldenBytes("cube", true));
  EXPECT_EQ(Entries(folder), (std::vector<std::string>{"cube.mqo", "cube.mqo.qz"}));
}

TEST_F(Program, EmptyCommandLineShowsTheDialog) {
  // Blanks after the program's name are not part of the command line.
  for (const char* arguments : {"", "   "}) {
    Process process(arguments);
    ASSERT_TRUE(process.started);
    const HWND dialog =
        WaitForDialogOfProcess(process.info.hProcess, process.info.dwProcessId, IDC_CONVERT, 20000);
    ASSERT_NE(dialog, nullptr) << "no dialog for \"" << arguments << "\"";
    EXPECT_EQ(WindowText(dialog), kCaption);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CONVERT)), kConversionDialogControls[2].text);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.ExitStatus(), 0);
  }
}

}  // namespace
