// The real conversion dialog in this process: resource 101 run by DialogBoxParamA with
// ConversionDialogProc on the test's thread, worked from a second thread through the messages a
// user's actions send: the controls as created, drops through real drop handles, the button, the
// check box, keys in the fields, and closing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "front/resources/conversion_dialog.h"
#include "front/resources/dialog_layout.h"
#include "front/resources/texts.h"
#include "tests/golden_hex.h"
#include "tests/test_support.h"
#include "tests/windows/dialog_session.h"
#include "tests/windows/drop_files.h"
#include "tests/windows/window_search.h"

namespace {

HWND Control(const DialogSession& s, int id) {
  return GetDlgItem(s.dialog, id);
}

std::string Text(const DialogSession& s, int id) {
  return WindowText(Control(s, id));
}

// Files dropped on the dialog, as the shell drops them; the drop handle is released once read.
void Drop(const DialogSession& s, HDROP drop) {
  ASSERT_NE(drop, nullptr);
  SendMessageA(s.dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  EXPECT_EQ(GlobalFlags(drop), GMEM_INVALID_HANDLE) << "the drop was not released";
}

// A mouse click on a button or the check box; what it starts runs on the dialog's thread.
void Click(const DialogSession& s, int id) {
  PostMessageA(Control(s, id), BM_CLICK, 0, 0);
}

// The keyboard focus moved to a control, as Tab moves it.
void Focus(const DialogSession& s, int id) {
  PostMessageA(s.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(s, id)), TRUE);
}

// A key pressed and released in the control that has the focus.
void Key(const DialogSession& s, int id, WPARAM key) {
  PostMessageA(Control(s, id), WM_KEYDOWN, key, 1);
  PostMessageA(Control(s, id), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
}

// Characters typed into the control that has the focus.
void Type(const DialogSession& s, int id, const std::string& text) {
  for (char c : text)
    PostMessageA(Control(s, id), WM_CHAR, static_cast<unsigned char>(c), 1);
}

// Waits until the dialog's thread has handled every message posted to it so far: a change posted
// last (the source field's length limit) has then taken effect; it is undone.
void Settle(const DialogSession& s) {
  const HWND field = Control(s, IDC_SOURCE_PATH);
  const LRESULT limit = SendMessageA(field, EM_GETLIMITTEXT, 0, 0);
  const WPARAM marker = 12345;
  PostMessageA(field, EM_SETLIMITTEXT, marker, 0);
  for (int waited = 0; waited < 10000; waited += 10) {
    if (SendMessageA(field, EM_GETLIMITTEXT, 0, 0) == static_cast<LRESULT>(marker)) break;
    Sleep(10);
  }
  EXPECT_EQ(SendMessageA(field, EM_GETLIMITTEXT, 0, 0), static_cast<LRESULT>(marker));
  SendMessageA(field, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
}

// The next message box: owned by the dialog, caption "VUV2EZ", one OK button, the given text.
// Closed with OK.
void ExpectMessage(const DialogSession& s, const char* text) {
  const HWND box = WaitForMessageBoxOfThread(s.dialogThread, 10000);
  ASSERT_NE(box, nullptr) << "no message box";
  const MessageBoxSeen seen = ReadMessageBox(box);
  PressOk(box);
  EXPECT_EQ(seen.text, text);
  EXPECT_EQ(seen.caption, kCaption);
  EXPECT_EQ(seen.owner, s.dialog);
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_EQ(seen.okText, "OK");
}

void ExpectNoMessage(const DialogSession& s) {
  const HWND box = OtherDialogOfThread(s.dialogThread, s.dialog);
  EXPECT_EQ(box, nullptr) << "a message box: " << WindowText(GetDlgItem(box, 0xFFFF));
}

// The golden document cube.mqo in a scratch folder; Windows paths.
struct Cube {
  ScratchFolder folder;
  std::string Path(const std::string& name) const {
    std::string path = folder / name;
    for (char& c : path)
      if (c == '/') c = '\\';
    return path;
  }
  std::string source = Path("cube.mqo");
  Cube() { WriteFile(source, ReadFile(GoldenPath("cube.mqo"))); }
};

std::vector<uint8_t> Bytes(const std::string& path) {
  const std::string bytes = ReadFile(path);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

const char* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kEdit:
      return "Edit";
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
      return "Button";
    case ControlKind::kLabel:
      return "Static";
  }
  return "?";
}

TEST(ConversionDialog, ControlsAreTheLayoutsInTabOrder) {
  const INT_PTR result = RunConversionDialog([](const DialogSession& s) {
    const DialogLayout& layout = kConversionDialogLayout;
    EXPECT_EQ(WindowText(s.dialog), kCaption);
    const auto style = static_cast<uint32_t>(GetWindowLongA(s.dialog, GWL_STYLE));
    const auto extendedStyle = static_cast<uint32_t>(GetWindowLongA(s.dialog, GWL_EXSTYLE));
    // The window style bits of the template (the low bits are the dialog's own), and the one the
    // system adds to every window with a caption.
    EXPECT_EQ(style & 0xFFFF0000u, (layout.style & 0xFFFF0000u) | WS_CLIPSIBLINGS);
    EXPECT_EQ(extendedStyle & layout.extendedStyle, layout.extendedStyle);

    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(s.dialog, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_STREQ(font.lfFaceName, layout.fontName);

    // The controls as created, in template order.
    std::vector<HWND> children;
    for (HWND child = GetWindow(s.dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      children.push_back(child);
    }
    ASSERT_EQ(children.size(), layout.controls.size());
    for (size_t i = 0; i < children.size(); ++i) {
      const DialogControl& want = layout.controls[i];
      const HWND child = children[i];
      SCOPED_TRACE("control " + std::to_string(i) + ", identifier " + std::to_string(want.id));
      EXPECT_EQ(lstrcmpiA(ClassName(child).c_str(), ClassOf(want.kind)), 0) << ClassName(child);
      EXPECT_EQ(GetDlgCtrlID(child), want.id);
      EXPECT_EQ(WindowText(child), want.text);
      // An edit control draws its border itself and takes WS_BORDER out of its window style.
      const uint32_t border = want.kind == ControlKind::kEdit ? WS_BORDER : 0;
      const auto childStyle = static_cast<uint32_t>(GetWindowLongA(child, GWL_STYLE));
      EXPECT_EQ(childStyle | border, want.style) << std::hex << childStyle << " " << want.style;
      // Position and size in pixels, each converted from dialog units as the dialog creates
      // its controls.
      RECT expected{want.left, want.top, want.width, want.height};
      MapDialogRect(s.dialog, &expected);
      RECT actual{};
      GetWindowRect(child, &actual);
      MapWindowPoints(nullptr, s.dialog, reinterpret_cast<POINT*>(&actual), 2);
      EXPECT_EQ(actual.left, expected.left);
      EXPECT_EQ(actual.top, expected.top);
      EXPECT_EQ(actual.right - actual.left, expected.right) << "width";
      EXPECT_EQ(actual.bottom - actual.top, expected.bottom) << "height";
    }

    // Tab visits the controls with a tab stop in template order, and comes round again.
    std::vector<int> stops;
    for (const DialogControl& control : layout.controls)
      if (control.style & WS_TABSTOP) stops.push_back(control.id);
    ASSERT_EQ(stops, (std::vector<int>{IDC_SOURCE_PATH, IDC_DESTINATION_PATH, IDC_CONVERT,
                                       IDC_FLAT_NORMALS}));
    HWND at = GetNextDlgTabItem(s.dialog, nullptr, FALSE);
    for (size_t i = 0; i <= stops.size(); ++i) {
      EXPECT_EQ(GetDlgCtrlID(at), stops[i % stops.size()]) << "tab stop " << i;
      at = GetNextDlgTabItem(s.dialog, at, FALSE);
    }
    at = GetNextDlgTabItem(s.dialog, Control(s, IDC_SOURCE_PATH), TRUE);
    EXPECT_EQ(GetDlgCtrlID(at), IDC_FLAT_NORMALS) << "Shift+Tab from the first field";

    EXPECT_EQ(Text(s, IDC_SOURCE_PATH), "");
    EXPECT_EQ(Text(s, IDC_DESTINATION_PATH), "");
    EXPECT_EQ(IsDlgButtonChecked(s.dialog, IDC_FLAT_NORMALS), BST_UNCHECKED);
  });
  EXPECT_EQ(result, 0);
}

TEST(ConversionDialog, DropFillsBothFieldsAndConvertsNothing) {
  const INT_PTR result = RunConversionDialog([](const DialogSession& s) {
    Drop(s, MakeDrop({"D:\\work\\robot.mqo"}));
    EXPECT_EQ(Text(s, IDC_SOURCE_PATH), "D:\\work\\robot.mqo");
    EXPECT_EQ(Text(s, IDC_DESTINATION_PATH), "D:\\work\\robot.mqo.qz");

    // Explorer's drops are in UTF-16; the fields show them in code page 932.
    Drop(s, MakeWideDrop({L"C:\\モデル\\ロボット表.mqo"}));
    EXPECT_EQ(Text(s, IDC_SOURCE_PATH), "C:\\モデル\\ロボット表.mqo");
    EXPECT_EQ(Text(s, IDC_DESTINATION_PATH), "C:\\モデル\\ロボット表.mqo.qz");

    // Paths of any length, whole.
    const std::string longPath = "C:\\" + std::string(3000, 'p') + ".mqo";
    Drop(s, MakeDrop({longPath}));
    EXPECT_EQ(Text(s, IDC_SOURCE_PATH), longPath);
    EXPECT_EQ(Text(s, IDC_DESTINATION_PATH), longPath + ".qz");

    Settle(s);
    ExpectNoMessage(s);
  });
  EXPECT_EQ(result, 0);
}

TEST(ConversionDialog, DropOfThreeFilesTakesTheFirst) {
  const INT_PTR result = RunConversionDialog([](const DialogSession& s) {
    Drop(s, MakeDrop({"D:\\first.mqo", "D:\\second.mqo", "D:\\third.mqo"}));
    EXPECT_EQ(Text(s, IDC_SOURCE_PATH), "D:\\first.mqo");
    EXPECT_EQ(Text(s, IDC_DESTINATION_PATH), "D:\\first.mqo.qz");
    Settle(s);
    ExpectNoMessage(s);
  });
  EXPECT_EQ(result, 0);
}

TEST(ConversionDialog, ButtonWithEmptySourceReportsReadFailureOwnedByTheDialog) {
  const INT_PTR result = RunConversionDialog([](const DialogSession& s) {
    Click(s, IDC_CONVERT);
    ExpectMessage(s, kReadFailedText);
    EXPECT_TRUE(IsWindowVisible(s.dialog));
  });
  EXPECT_EQ(result, 0);
}

TEST(ConversionDialog, DestinationTypedByHandIsUsed) {
  Cube cube;
  const std::string typed = cube.Path("typed by hand.qz");
  const INT_PTR result = RunConversionDialog([&](const DialogSession& s) {
    Drop(s, MakeDrop({cube.source}));
    Focus(s, IDC_DESTINATION_PATH);  // selects the field's text, which typing replaces
    Type(s, IDC_DESTINATION_PATH, typed);
    Click(s, IDC_CONVERT);
    ExpectMessage(s, kFinishedText);
    EXPECT_EQ(Text(s, IDC_DESTINATION_PATH), typed);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Bytes(typed), GoldenBytes("cube", true));
  EXPECT_FALSE(FileExists(cube.source + ".qz"));
  EXPECT_EQ(cube.folder.Entries(), (std::vector<std::string>{"cube.mqo", "typed by hand.qz"}));
}

TEST(ConversionDialog, CheckBoxChoosesFlatNormalsAndClearSmooth) {
  Cube cube;
  const std::string destination = cube.source + ".qz";
  const INT_PTR result = RunConversionDialog([&](const DialogSession& s) {
    Drop(s, MakeDrop({cube.source}));
    Click(s, IDC_FLAT_NORMALS);
    Click(s, IDC_CONVERT);
    ExpectMessage(s, kFinishedText);
    EXPECT_EQ(IsDlgButtonChecked(s.dialog, IDC_FLAT_NORMALS), BST_CHECKED);
    EXPECT_EQ(Bytes(destination), GoldenBytes("cube", false));

    Click(s, IDC_FLAT_NORMALS);
    Click(s, IDC_CONVERT);
    ExpectMessage(s, kFinishedText);
    EXPECT_EQ(IsDlgButtonChecked(s.dialog, IDC_FLAT_NORMALS), BST_UNCHECKED);
    EXPECT_EQ(Bytes(destination), GoldenBytes("cube", true));
  });
  EXPECT_EQ(result, 0);
  EXPECT_NE(GoldenBytes("cube", true), GoldenBytes("cube", false));
}

TEST(ConversionDialog, EscapeAndEnterInAFieldDoNothing) {
  Cube cube;
  const std::string destination = cube.source + ".qz";
  const INT_PTR result = RunConversionDialog([&](const DialogSession& s) {
    Drop(s, MakeDrop({cube.source}));
    for (int field : {IDC_SOURCE_PATH, IDC_DESTINATION_PATH}) {
      Focus(s, field);
      Key(s, field, VK_ESCAPE);
      Key(s, field, VK_RETURN);
    }
    Settle(s);
    ExpectNoMessage(s);
    EXPECT_TRUE(IsWindowVisible(s.dialog));
    EXPECT_FALSE(FileExists(destination));

    // The same keys reach the dialog: Enter on the button presses it.
    Focus(s, IDC_CONVERT);
    Key(s, IDC_CONVERT, VK_RETURN);
    ExpectMessage(s, kFinishedText);
    EXPECT_TRUE(FileExists(destination));

    // And back in a field, after the button was pressed, Enter does nothing again.
    std::remove(destination.c_str());
    Focus(s, IDC_SOURCE_PATH);
    Key(s, IDC_SOURCE_PATH, VK_RETURN);
    Key(s, IDC_SOURCE_PATH, VK_ESCAPE);
    Settle(s);
    ExpectNoMessage(s);
    EXPECT_FALSE(FileExists(destination));
    EXPECT_TRUE(IsWindowVisible(s.dialog));
  });
  EXPECT_EQ(result, 0);
}

TEST(ConversionDialog, WriteFailureIsReportedOwnedByTheDialog) {
  Cube cube;
  const INT_PTR result = RunConversionDialog([&](const DialogSession& s) {
    Drop(s, MakeDrop({cube.source}));
    Focus(s, IDC_DESTINATION_PATH);
    Type(s, IDC_DESTINATION_PATH, cube.Path("no such folder\\cube.qz"));
    Click(s, IDC_CONVERT);
    ExpectMessage(s, kWriteFailedText);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(cube.folder.Entries(), std::vector<std::string>{"cube.mqo"});
}

TEST(ConversionDialog, ClosingEndsTheDialogWithZero) {
  HWND closed = nullptr;
  const INT_PTR result = RunConversionDialog([&](const DialogSession& s) {
    closed = s.dialog;
    // The close box, or Close in the system menu.
    PostMessageA(s.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    for (int waited = 0; IsWindow(s.dialog) && waited < 10000; waited += 10)
      Sleep(10);
  });
  EXPECT_EQ(result, 0);
  EXPECT_NE(closed, nullptr);
  EXPECT_FALSE(IsWindow(closed));
}

}  // namespace
