// The real conversion dialog in this process, worked from a second thread by the messages a
// user's actions send. A row is what the user does and sees in turn: drops through real drop
// handles, clicks, keys and typing, each message box read (owned by the dialog) and answered, the
// fields and the check box, the dialog ending. Its folder starts with cube.mqo; at the end it
// holds that and what the row converted, byte for byte against the golden files.
#include <gtest/gtest.h>

#include <vector>

#include "front/resources/texts.h"
#include "tests/windows/windows_test_support.h"

namespace {

using namespace std::string_literals;

struct User {
  std::string folder;  // what '$' stands for in a row
  Files files;         // what the folder holds by now
  HWND dialog = nullptr;
};
using Step = std::function<void(User&)>;

void Deliver(const User& u, HDROP drop) {
  // The shell drops files only on a window that accepts them.
  ASSERT_TRUE(GetWindowLongA(u.dialog, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  SendMessageA(u.dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  EXPECT_EQ(GlobalFlags(drop), GMEM_INVALID_HANDLE) << "the drop was not released";
}

// Files dropped, in code page 932, or in UTF-16 as Explorer drops them; "a\0b" is two files.
Step Drop(std::string paths) {
  return [=](User& u) { Deliver(u, MakeDrop(InFolder(paths, u.folder))); };
}
Step Drop(std::wstring paths) {
  return [=](User& u) { Deliver(u, MakeDrop(paths)); };
}

// A mouse click on the button or the check box.
Step Click(int id) {
  return [=](User& u) { PostMessageA(GetDlgItem(u.dialog, id), BM_CLICK, 0, 0); };
}

// Typing in a control, moved to first as Tab moves (a field's text is then selected, and typing
// replaces it). "\r" and "\x1b" are the keys Enter and Escape.
Step Type(int id, std::string text) {
  return [=](User& u) {
    const HWND control = GetDlgItem(u.dialog, id);
    PostMessageA(u.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    for (const char c : InFolder(text, u.folder)) {
      const bool key = c == '\r' || c == '\x1b';
      PostMessageA(control, key ? WM_KEYDOWN : WM_CHAR, static_cast<unsigned char>(c), 1);
    }
  };
}

// The next message box: owned by the dialog, with this text; OK is pressed. A conversion that
// finished has made a file in the folder, which then holds the golden bytes of cube.mqo converted
// with flat or smooth normals.
Step Message(const char* text, const char* made = nullptr, bool flat = false) {
  return [=](User& u) {
    const HWND box = FindDialog(GetWindowThreadProcessId(u.dialog, nullptr), IDOK);
    EXPECT_EQ(GetWindow(box, GW_OWNER), u.dialog) << "no message box of the dialog's";
    EXPECT_EQ(ReadAndClose(box), kCaption + ": "s + text + " [OK]");
    if (made != nullptr) u.files[made] = CubeConverted(!flat);
    EXPECT_EQ(Contents(u.folder), u.files);
  };
}

// The dialog still shown, these texts in its fields, the box ticked or not; checked once the
// dialog's thread has handled every message posted to it so far, which is when a change posted
// last (the source field's length limit) has taken effect.
Step Shows(std::string source, std::string destination, bool ticked = false) {
  return [=](User& u) {
    const HWND field = GetDlgItem(u.dialog, IDC_SOURCE_PATH);
    const auto limit = static_cast<WPARAM>(SendMessageA(field, EM_GETLIMITTEXT, 0, 0));
    PostMessageA(field, EM_SETLIMITTEXT, 12345, 0);
    for (int i = 0; i < 1000 && SendMessageA(field, EM_GETLIMITTEXT, 0, 0) != 12345; ++i)
      Sleep(10);
    SendMessageA(field, EM_SETLIMITTEXT, limit, 0);
    EXPECT_TRUE(IsWindowVisible(u.dialog));
    EXPECT_EQ(WindowText(field), InFolder(source, u.folder));
    EXPECT_EQ(WindowText(GetDlgItem(u.dialog, IDC_DESTINATION_PATH)),
              InFolder(destination, u.folder));
    EXPECT_EQ(IsDlgButtonChecked(u.dialog, IDC_FLAT_NORMALS) == BST_CHECKED, ticked);
  };
}

// The close box, or Close in the system menu: the dialog ends.
Step CloseBox() {
  return [](User& u) {
    ReadAndClose(u.dialog);
    EXPECT_FALSE(IsWindow(u.dialog));
  };
}

// A row: its name and its steps. Each row ends in a step that waits for the dialog's thread
// (Shows, Message, CloseBox), so that the test's last check, for a message box no step expected,
// follows all the row did.
using Row = std::pair<const char*, std::vector<Step>>;

const std::string kLong = "C:\\" + std::string(3000, 'p') + ".mqo";

const Row kRows[] = {
    {"OpensWithEmptyFieldsAndTheBoxClear", {Shows("", "")}},
    {"DropFillsBothFieldsAndALaterOneReplacesThem",
     {Drop("D:\\work\\robot.mqo"), Shows("D:\\work\\robot.mqo", "D:\\work\\robot.mqo.qz"),
      Drop(kLong), Shows(kLong, kLong + ".qz")}},
    {"Utf16DropIsShownInCodePage932",
     {Drop(L"C:\\モデル\\ロボット表.mqo"),
      Shows("C:\\モデル\\ロボット表.mqo", "C:\\モデル\\ロボット表.mqo.qz")}},
    {"DropOfThreeFilesTakesTheFirst",
     {Drop("D:\\first.mqo\0D:\\second.mqo\0D:\\third.mqo"s),
      Shows("D:\\first.mqo", "D:\\first.mqo.qz")}},
    {"ButtonWithEmptyFieldsCannotRead",
     {Click(IDC_CONVERT), Message(kReadFailedText), Shows("", "")}},
    {"TheBoxChoosesFlatNormalsAndClearedSmoothOnes",
     {Drop("$\\cube.mqo"), Click(IDC_FLAT_NORMALS), Click(IDC_CONVERT),
      Message(kFinishedText, "cube.mqo.qz", true), Shows("$\\cube.mqo", "$\\cube.mqo.qz", true),
      Click(IDC_FLAT_NORMALS), Click(IDC_CONVERT), Message(kFinishedText, "cube.mqo.qz")}},
    {"DestinationTypedByHandIsUsed",
     {Drop("$\\cube.mqo"), Type(IDC_DESTINATION_PATH, "$\\typed by hand.qz"), Click(IDC_CONVERT),
      Message(kFinishedText, "typed by hand.qz"), Shows("$\\cube.mqo", "$\\typed by hand.qz")}},
    {"UnwritableDestinationIsReported",
     {Drop("$\\cube.mqo"), Type(IDC_DESTINATION_PATH, "$\\no such folder\\cube.qz"),
      Click(IDC_CONVERT), Message(kWriteFailedText)}},
    {"EscapeAndEnterInTheFieldsDoNothing",
     {Drop("$\\cube.mqo"), Type(IDC_SOURCE_PATH, "\x1b\r"), Type(IDC_DESTINATION_PATH, "\x1b\r"),
      Shows("$\\cube.mqo", "$\\cube.mqo.qz")}},
    // Back in a field, Enter does nothing again: a second conversion would show a message box
    // that no step reads.
    {"EnterOnTheButtonConverts",
     {Drop("$\\cube.mqo"), Type(IDC_CONVERT, "\r"), Message(kFinishedText, "cube.mqo.qz"),
      Type(IDC_SOURCE_PATH, "\r\x1b"), Shows("$\\cube.mqo", "$\\cube.mqo.qz")}},
    {"CloseBoxEndsTheDialog", {CloseBox()}},
};

class ConversionDialog : public testing::TestWithParam<Row> {};

TEST_P(ConversionDialog, DoesWhatTheRowSays) {
  ScratchFolder scratch;
  User user{scratch.path, {{"cube.mqo", Cube()}}};
  Put(user.folder, user.files);
  const INT_PTR result = RunConversionDialog([&](HWND dialog) {
    ASSERT_NE(user.dialog = dialog, nullptr) << "the dialog did not appear";
    for (const Step& step : GetParam().second)
      step(user);
    if (const HWND box = FindDialog(GetWindowThreadProcessId(dialog, nullptr), IDOK, 0))
      ADD_FAILURE() << "a message box no step expected: " << ReadAndClose(box);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Contents(user.folder), user.files);
}

INSTANTIATE_TEST_SUITE_P(Rows, ConversionDialog, testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.first); });

}  // namespace
