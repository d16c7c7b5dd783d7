// The conversion dialog driven by terminal keys through the stand-in, as the terminal front end
// drives it but without a terminal: focus and tab order, the messages keys become, pastes as
// drops, editing and sideways scrolling of the path fields, the cell layout, and a whole modal
// run through DialogBoxParamA.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <string>

#include "front/conversion_dialog.h"
#include "front/resources/conversion_dialog.h"
#include "front/resources/texts.h"
#include "front/stand_in/stand_in_windows.h"
#include "front/terminal/cell_layout.h"
#include "front/terminal/dialog_keys.h"
#include "front/terminal/edit_field.h"
#include "front/terminal/utf8_text.h"
#include "tests/shown_messages.h"
#include "tests/test_support.h"
#include "tools/qzdump/qz_file.h"

namespace {

KeyEvent K(Key key) {
  return {key, {}};
}
KeyEvent Typed(const std::string& text) {
  return {Key::kText, text};
}
KeyEvent Pasted(const std::string& text) {
  return {Key::kPaste, text};
}

// What reached the dialog procedure: the message and, for WM_COMMAND, the two words of wParam.
struct Delivered {
  UINT message;
  int id;
  int notification;
  bool operator==(const Delivered&) const = default;
};
void PrintTo(const Delivered& d, std::ostream* out) {
  *out << "{message 0x" << std::hex << d.message << std::dec << ", id " << d.id
       << ", notification 0x" << std::hex << d.notification << std::dec << "}";
}
std::vector<Delivered>& DeliveredMessages() {
  static std::vector<Delivered> delivered;
  return delivered;
}

// Records each message, then hands it to the real dialog procedure.
INT_PTR CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool command = message == WM_COMMAND;
  DeliveredMessages().push_back({message, command ? static_cast<int16_t>(LOWORD(wParam)) : 0,
                                 command ? static_cast<int>(wParam >> 16) : 0});
  return ConversionDialogProc(window, message, wParam, lParam);
}

// Widths of characters come from the C library, as in the terminal.
class Utf8Locale : public testing::Test {
 protected:
  void SetUp() override {
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    previousLocale_ = current != nullptr ? current : "C";
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  }
  void TearDown() override { std::setlocale(LC_CTYPE, previousLocale_.c_str()); }

 private:
  std::string previousLocale_;
};

class KeysDialog : public Utf8Locale {
 protected:
  void SetUp() override {
    Utf8Locale::SetUp();
    ShownMessages().clear();
    DeliveredMessages().clear();
    previous_ = SetStandInPresenter({RecordMessage, nullptr});
    WriteFile(folder_ / "house.mqo",
              ReadFile(std::string(VUV2EZ_TEST_DATA) + "/../../examples/house.mqo"));
    dialog_ = CreateStandInDialog(kConversionDialogLayout, RecordingProc);
    SendStandInMessage(dialog_.get(), WM_INITDIALOG, 0, 0);
    DeliveredMessages().clear();
  }
  void TearDown() override {
    SetStandInPresenter(previous_);
    Utf8Locale::TearDown();
  }

  void Keys(const std::vector<KeyEvent>& keys) {
    for (const KeyEvent& key : keys)
      HandleDialogKey(dialog_.get(), key);
  }
  void Type(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
      const size_t length = DecodeUtf8(text, at).length;
      HandleDialogKey(dialog_.get(), Typed(text.substr(at, length)));
      at += length;
    }
  }
  HWND Control(int id) { return GetDlgItem(dialog_.get(), id); }
  std::string Text(int id) { return Control(id)->text; }
  int FocusId() { return dialog_->focus != nullptr ? dialog_->focus->id : 0; }

  // True when every face record of the file carries one normal on all four corners.
  bool FlatNormals(const std::string& path) {
    const std::string bytes = ReadFile(path);
    QzFile file;
    std::string error;
    EXPECT_TRUE(ParseQz(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), file, error))
        << path << ": " << error;
    bool flat = !file.faces.empty();
    for (const QzFaceRecord& r : file.faces) {
      for (int s = 1; s < 4; ++s)
        flat = flat && std::memcmp(&r.normals[0], &r.normals[s], sizeof(Vec4)) == 0;
    }
    return flat;
  }

  ScratchFolder folder_;
  StandInPresenter previous_;
  std::unique_ptr<StandInWindow> dialog_;
};

TEST_F(KeysDialog, TabAndShiftTabFollowTheTemplatesTabStops) {
  EXPECT_EQ(FocusId(), 0) << "no focus until a key gives it";
  const struct {
    Key key;
    int focus;
  } steps[] = {
      {Key::kTab, IDC_SOURCE_PATH},     {Key::kTab, IDC_DESTINATION_PATH},
      {Key::kTab, IDC_CONVERT},         {Key::kTab, IDC_FLAT_NORMALS},
      {Key::kTab, IDC_SOURCE_PATH},     {Key::kBackTab, IDC_FLAT_NORMALS},
      {Key::kBackTab, IDC_CONVERT},     {Key::kBackTab, IDC_DESTINATION_PATH},
      {Key::kBackTab, IDC_SOURCE_PATH}, {Key::kBackTab, IDC_FLAT_NORMALS},
  };
  for (const auto& step : steps) {
    HandleDialogKey(dialog_.get(), K(step.key));
    EXPECT_EQ(FocusId(), step.focus);
  }
  dialog_->focus = nullptr;
  EXPECT_EQ(NextTabStop(dialog_.get(), false)->id, IDC_FLAT_NORMALS);
  EXPECT_TRUE(DeliveredMessages().empty()) << "moving the focus sends the dialog nothing";
}

TEST_F(KeysDialog, KeysBecomeThePlatformsMessages) {
  constexpr UINT C = WM_COMMAND;
  const struct {
    const char* what;
    std::vector<KeyEvent> keys;  // after Tab has put the focus on the source field
    std::vector<Delivered> delivered;
  } cases[] = {
      {"Enter in a field is IDOK", {K(Key::kEnter)}, {{C, IDOK, BN_CLICKED}}},
      {"Escape is IDCANCEL", {K(Key::kEscape)}, {{C, IDCANCEL, BN_CLICKED}}},
      {"typing changes the field", {Typed("a")}, {{C, IDC_SOURCE_PATH, EN_CHANGE}}},
      {"Backspace on nothing changes nothing", {K(Key::kBackspace)}, {}},
      {"moving the caret sends nothing", {K(Key::kLeft), K(Key::kHome), K(Key::kEnd)}, {}},
      {"Enter on the button presses it",
       {K(Key::kTab), K(Key::kTab), K(Key::kEnter)},
       {{C, IDC_CONVERT, BN_CLICKED}}},
      {"Space on the button presses it",
       {K(Key::kTab), K(Key::kTab), Typed(" ")},
       {{C, IDC_CONVERT, BN_CLICKED}}},
      {"Space on the check box clicks it",
       {K(Key::kBackTab), Typed(" ")},
       {{C, IDC_FLAT_NORMALS, BN_CLICKED}}},
      {"Enter on the check box is IDOK",
       {K(Key::kBackTab), K(Key::kEnter)},
       {{C, IDOK, BN_CLICKED}}},
      {"other keys on the button do nothing",
       {K(Key::kTab), K(Key::kTab), Typed("x"), K(Key::kBackspace), K(Key::kLeft)},
       {}},
      {"a paste is a drop", {Pasted("/a.mqo")}, {{WM_DROPFILES, 0, 0}}},
      {"a blank paste drops nothing", {Pasted(" \r")}, {}},
      {"Ctrl+Q is the close box", {K(Key::kClose)}, {{WM_CLOSE, 0, 0}}},
      {"a new size is for the drawing", {K(Key::kResize), K(Key::kNone)}, {}},
  };
  for (const auto& c : cases) {
    SetWindowTextA(Control(IDC_SOURCE_PATH), "");
    dialog_->focus = nullptr;
    HandleDialogKey(dialog_.get(), K(Key::kTab));
    DeliveredMessages().clear();
    Keys(c.keys);
    EXPECT_EQ(DeliveredMessages(), c.delivered) << c.what;
  }
}

TEST_F(KeysDialog, APasteAnywhereDropsItsFirstPath) {
  const std::string house = folder_ / "house.mqo";
  const struct {
    const char* form;
    std::string pasted;
    std::string source;
  } cases[] = {
      {"plain", "/home/u/robot.mqo", "/home/u/robot.mqo"},
      {"single quotes", "'/home/u/my robot.mqo' ", "/home/u/my robot.mqo"},
      {"double quotes", "\"/home/u/my robot.mqo\"", "/home/u/my robot.mqo"},
      {"escaped blanks", "/home/u/my\\ robot.mqo", "/home/u/my robot.mqo"},
      {"file URI", "file:///home/u/my%20%E3%83%AD%E3%83%9C.mqo", "/home/u/my ロボ.mqo"},
      {"three paths", "'/first.mqo' '/second.mqo' '/third.mqo' ", "/first.mqo"},
      {"three URIs", "file:///first.mqo\r\nfile:///second.mqo\r\nfile:///third.mqo\r\n",
       "/first.mqo"},
  };
  // The focus in each of its places, none included: a paste is a drop wherever it lands.
  const int focusIds[] = {0, IDC_SOURCE_PATH, IDC_DESTINATION_PATH, IDC_CONVERT, IDC_FLAT_NORMALS};
  for (const auto& c : cases) {
    for (int focusId : focusIds) {
      dialog_->focus = focusId != 0 ? Control(focusId) : nullptr;
      SetWindowTextA(Control(IDC_SOURCE_PATH), "old");
      HandleDialogKey(dialog_.get(), Pasted(c.pasted));
      EXPECT_EQ(Text(IDC_SOURCE_PATH), c.source) << c.form << ", focus " << focusId;
      EXPECT_EQ(Text(IDC_DESTINATION_PATH), c.source + ".qz") << c.form;
    }
  }
  EXPECT_TRUE(ShownMessages().empty()) << "a drop converts nothing";
  EXPECT_FALSE(FileExists(house + ".qz"));
}

TEST_F(KeysDialog, ButtonWithAnEmptySourceReportsTheReadFailureOverTheDialog) {
  Keys({K(Key::kBackTab), K(Key::kBackTab), K(Key::kEnter)});
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].owner, dialog_.get());
  EXPECT_EQ(ShownMessages()[0].text, kReadFailedText);
  EXPECT_EQ(ShownMessages()[0].caption, "VUV2EZ");
  EXPECT_FALSE(dialog_->ended);
}

TEST_F(KeysDialog, DroppedConvertedWithAHandTypedDestinationAndTheCheckBox) {
  Keys({Pasted("'" + folder_ / "house.mqo" + "' ")});
  // The destination field, emptied with Backspace and typed anew; the button by Tab.
  Keys({K(Key::kTab), K(Key::kTab)});
  ASSERT_EQ(FocusId(), IDC_DESTINATION_PATH);
  while (!Text(IDC_DESTINATION_PATH).empty())
    HandleDialogKey(dialog_.get(), K(Key::kBackspace));
  Type(folder_ / "手で入力.qz");
  Keys({K(Key::kTab), K(Key::kEnter)});
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].text, kFinishedText);
  EXPECT_FALSE(FlatNormals(folder_ / "手で入力.qz")) << "smooth while the box is clear";
  EXPECT_FALSE(FileExists(folder_ / "house.mqo.qz"));

  // Space on the check box ticks it; the next conversion writes flat normals.
  Keys({K(Key::kTab), Typed(" ")});
  EXPECT_EQ(IsDlgButtonChecked(dialog_.get(), IDC_FLAT_NORMALS), BST_CHECKED);
  Keys({K(Key::kBackTab), K(Key::kBackTab), K(Key::kEnd), Typed("x")});
  EXPECT_EQ(Text(IDC_DESTINATION_PATH), folder_ / "手で入力.qzx");
  Keys({K(Key::kTab), Typed(" ")});
  ASSERT_EQ(ShownMessages().size(), 2u);
  EXPECT_EQ(ShownMessages()[1].text, kFinishedText);
  EXPECT_TRUE(FlatNormals(folder_ / "手で入力.qzx"));
  EXPECT_EQ(Text(IDC_SOURCE_PATH), folder_ / "house.mqo") << "the fields keep their paths";

  // Space again clears it.
  Keys({K(Key::kTab), Typed(" ")});
  EXPECT_EQ(IsDlgButtonChecked(dialog_.get(), IDC_FLAT_NORMALS), BST_UNCHECKED);
}

TEST_F(KeysDialog, EscapeAndEnterInAFieldDoNothing) {
  Keys({Pasted(folder_ / "house.mqo")});
  const struct {
    const char* what;
    std::vector<KeyEvent> keys;
  } cases[] = {
      {"Escape with no focus", {K(Key::kEscape)}},
      {"Enter with no focus", {K(Key::kEnter)}},
      {"Enter in the source field", {K(Key::kTab), K(Key::kEnter)}},
      {"Enter in the destination field", {K(Key::kTab), K(Key::kTab), K(Key::kEnter)}},
      {"Escape on the button", {K(Key::kBackTab), K(Key::kBackTab), K(Key::kEscape)}},
      {"Enter on the check box", {K(Key::kBackTab), K(Key::kEnter)}},
  };
  for (const auto& c : cases) {
    dialog_->focus = nullptr;
    Keys(c.keys);
    EXPECT_FALSE(dialog_->ended) << c.what;
    EXPECT_TRUE(ShownMessages().empty()) << c.what;
    EXPECT_EQ(Text(IDC_SOURCE_PATH), folder_ / "house.mqo") << c.what;
  }
  EXPECT_FALSE(FileExists(folder_ / "house.mqo.qz"));
}

// A presenter that plays keys to the dialog, as the terminal's loop does, until EndDialog.
std::vector<KeyEvent>& ScriptedKeys() {
  static std::vector<KeyEvent> keys;
  return keys;
}
INT_PTR PlayScriptedKeys(HWND dialog) {
  for (const KeyEvent& key : ScriptedKeys()) {
    if (dialog->ended) break;
    HandleDialogKey(dialog, key);
  }
  return dialog->ended ? dialog->result : 99;
}

TEST_F(KeysDialog, AModalRunFromDialogBoxParamToTheCloseBox) {
  SetStandInPresenter({RecordMessage, PlayScriptedKeys});
  ScriptedKeys() = {Pasted("file://" + folder_ / "house.mqo"),
                    K(Key::kBackTab),
                    Typed(" "),  // tick the box
                    K(Key::kBackTab),
                    K(Key::kBackTab),
                    K(Key::kEnd),
                    K(Key::kBackspace),
                    K(Key::kBackspace),  // "house.mqo.qz" less "qz"
                    Typed("f"),
                    Typed("l"),
                    Typed("a"),
                    Typed("t"),
                    K(Key::kTab),
                    K(Key::kEnter),
                    K(Key::kClose),
                    K(Key::kEnter)};  // after the close: never played
  DeliveredMessages().clear();
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_CONVERSION), nullptr, RecordingProc, 0),
            0);
  ASSERT_FALSE(DeliveredMessages().empty());
  EXPECT_EQ(DeliveredMessages().front().message, WM_INITDIALOG);
  EXPECT_EQ(DeliveredMessages().back().message, WM_CLOSE);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].text, kFinishedText);
  EXPECT_NE(ShownMessages()[0].owner, nullptr);
  EXPECT_TRUE(FlatNormals(folder_ / "house.mqo.flat"));

  // Without the close box the dialog stays.
  ScriptedKeys() = {K(Key::kEscape), K(Key::kEnter)};
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_CONVERSION), nullptr, RecordingProc, 0),
            99);
}

TEST(MessageBoxKeys, EnterSpaceEscapeAndTheCloseBoxCloseIt) {
  const struct {
    KeyEvent key;
    bool closes;
  } cases[] = {
      {K(Key::kEnter), true}, {K(Key::kEscape), true},  {Typed(" "), true},
      {K(Key::kClose), true}, {K(Key::kTab), false},    {Typed("x"), false},
      {Pasted(" "), false},   {K(Key::kResize), false}, {K(Key::kBackspace), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClosesMessageBox(c.key), c.closes) << static_cast<int>(c.key.key) << c.key.text;
  }
}

// The source field on its own: caret moves, edits and sideways scrolling, wide characters
// taking two cells.
class EditField : public KeysDialog {
 protected:
  void SetUp() override {
    KeysDialog::SetUp();
    HandleDialogKey(dialog_.get(), K(Key::kTab));
  }
  HWND Edit() { return Control(IDC_SOURCE_PATH); }
};

TEST_F(EditField, EditsAtTheCaretByWholeCharacters) {
  const struct {
    std::string start;  // the field's text, the caret after it
    std::vector<KeyEvent> keys;
    std::string text;
    size_t caret;
  } cases[] = {
      {"", {Typed("a"), Typed("é"), Typed("家")}, "aé家", 6},
      {"abc", {K(Key::kLeft), K(Key::kBackspace)}, "ac", 1},
      {"abc", {K(Key::kHome), K(Key::kDelete)}, "bc", 0},
      {"abc", {K(Key::kHome), K(Key::kBackspace)}, "abc", 0},
      {"abc", {K(Key::kDelete)}, "abc", 3},
      {"abc", {K(Key::kRight), K(Key::kRight)}, "abc", 3},
      {"abc", {K(Key::kHome), K(Key::kLeft), K(Key::kRight), Typed("x")}, "axbc", 2},
      {"モデル", {K(Key::kLeft), K(Key::kBackspace)}, "モル", 3},
      {"モデル", {K(Key::kHome), K(Key::kRight), K(Key::kDelete)}, "モル", 3},
      {"モデル", {K(Key::kLeft), K(Key::kLeft), K(Key::kEnd), Typed(" ")}, "モデル ", 10},
      {"a", {Typed("\t"), Typed("\x7f")}, "a", 1},
  };
  for (const auto& c : cases) {
    SetWindowTextA(Edit(), c.start.c_str());
    MoveCaretEnd(Edit());
    Keys(c.keys);
    EXPECT_EQ(Text(IDC_SOURCE_PATH), c.text) << c.start;
    EXPECT_EQ(Edit()->caret, c.caret) << c.start;
  }
}

TEST_F(EditField, ALongPathScrollsSidewaysToKeepTheCaretInView) {
  const int columns = EditTextColumns(*Edit()->layout);
  ASSERT_GT(columns, 20);
  const std::string path = "/" + std::string(60, 'p') + "/モデル.mqo";  // 76 cells
  Type(path);
  // The caret after the last character, in the field's last cell.
  EXPECT_EQ(CaretColumn(Edit()), columns - 1);
  EXPECT_EQ(TextCells(TextInView(Edit(), columns)), columns - 1);
  EXPECT_TRUE(std::string(TextInView(Edit(), columns)).ends_with("/モデル.mqo"));
  // Home shows the start again; End the end.
  HandleDialogKey(dialog_.get(), K(Key::kHome));
  EXPECT_EQ(Edit()->firstShown, 0u);
  EXPECT_EQ(CaretColumn(Edit()), 0);
  EXPECT_TRUE(std::string(TextInView(Edit(), columns)).starts_with("/ppp"));
  HandleDialogKey(dialog_.get(), K(Key::kEnd));
  EXPECT_EQ(CaretColumn(Edit()), columns - 1);
  // Deleting from the end brings the start back into view once it all fits.
  for (int i = 0; i < 40; ++i)
    HandleDialogKey(dialog_.get(), K(Key::kBackspace));
  EXPECT_EQ(Edit()->firstShown, 0u);
  EXPECT_EQ(CaretColumn(Edit()), TextCells(Text(IDC_SOURCE_PATH)));
}

TEST_F(EditField, AWideCharacterIsNeverCutInHalf) {
  const int columns = EditTextColumns(*Edit()->layout);
  const std::string wide = "モ";
  std::string text;
  for (int i = 0; i < columns; ++i)
    text += wide;  // twice as wide as the field
  Type(text);
  const std::string_view shown = TextInView(Edit(), columns);
  EXPECT_EQ(shown.size() % wide.size(), 0u);
  EXPECT_LE(TextCells(shown), columns);
  EXPECT_LE(CaretColumn(Edit()), columns - 1);
  EXPECT_GE(CaretColumn(Edit()), columns - 2);
}

TEST_F(EditField, ADropShowsTheNewPathFromItsStart) {
  Type(std::string(80, 'x'));
  EXPECT_GT(Edit()->firstShown, 0u);
  HandleDialogKey(dialog_.get(), Pasted("/a.mqo"));
  EXPECT_EQ(Edit()->firstShown, 0u);
  EXPECT_EQ(Edit()->caret, 0u);
}

TEST_F(Utf8Locale, CellLayoutEveryControlAndItsTextFitTheDialogOnAnEightyByTwentyFourTerminal) {
  const CellRect client = ClientCells(kConversionDialogLayout);
  EXPECT_LE(client.columns + 2, 80);  // with the frame
  EXPECT_LE(client.rows + 2, 24);
  std::vector<int> rows;
  for (const DialogControl& control : kConversionDialogLayout.controls) {
    const CellRect cells = ControlCells(control);
    EXPECT_GE(cells.column, 1) << control.text;
    EXPECT_LE(cells.column + cells.columns, client.columns) << control.text;
    EXPECT_GE(cells.row, 0) << control.text;
    EXPECT_LT(cells.row, client.rows) << control.text;
    rows.push_back(cells.row);
    int needed = TextCells(control.text);
    if (control.kind == ControlKind::kCheckBox) needed += 4;  // "[x] "
    if (control.kind == ControlKind::kButton) needed += 2;    // "[...]"
    EXPECT_LE(needed, cells.columns) << control.text;
  }
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(std::adjacent_find(rows.begin(), rows.end()), rows.end()) << "one control a row";
  EXPECT_EQ(EditTextColumns(kConversionDialogLayout.controls[0]),
            ControlCells(kConversionDialogLayout.controls[0]).columns - 2);
}

TEST_F(Utf8Locale, Utf8TextCharactersAndCells) {
  const struct {
    std::string text;
    char32_t first;
    size_t length;     // of the first character
    int cells;         // of the whole text
    size_t lastStart;  // where its last character starts
  } cases[] = {
      {"a", U'a', 1, 1, 0},
      {"é", U'é', 2, 1, 0},
      {"変換", U'変', 3, 4, 3},
      {"🙂", U'🙂', 4, 2, 0},
      {"\xff", 0xFFFD, 1, 1, 0},          // not a lead byte
      {"\xe5\x8f", 0xFFFD, 1, 2, 1},      // cut short: two bytes, each its own
      {"\xc0\xaf", 0xFFFD, 1, 2, 1},      // overlong
      {"\xed\xa0\x80", 0xFFFD, 1, 3, 2},  // a surrogate
      {"\t", U'\t', 1, 1, 0},             // a control, drawn as a replacement
      {"e\xcc\x81", U'e', 1, 1, 1},       // a combining accent takes no cell
  };
  for (const auto& c : cases) {
    const Utf8Char first = DecodeUtf8(c.text, 0);
    EXPECT_EQ(first.code, c.first) << c.text;
    EXPECT_EQ(first.length, c.length) << c.text;
    EXPECT_EQ(TextCells(c.text), c.cells) << c.text;
    EXPECT_EQ(PreviousCharStart(c.text, c.text.size()), c.lastStart) << c.text;
    if (first.code != 0xFFFD) {
      EXPECT_EQ(EncodeUtf8(first.code), c.text.substr(0, c.length));
    }
  }
  EXPECT_EQ(DecodeUtf8("a", 1).length, 0u);
  EXPECT_EQ(ShownChar(U'\t'), 0xFFFDu);
  EXPECT_EQ(ShownChar(U'家'), U'家');
}

}  // namespace
