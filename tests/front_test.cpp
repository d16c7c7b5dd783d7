// The front end on Linux through the stand-in window services, without a terminal. The dialog is
// driven by terminal keys as the terminal drives it, in one table: each row's keys are played on
// a fresh dialog run through DialogBoxParamA (a message box takes the keys while it is up), and
// the row says what is left: the focus, what the dialog procedure got and which message boxes
// came, the source field as it is shown with its caret, the destination, the file written and
// the check box. Then the conversion driver's message per outcome and the command line's status,
// the paths in a terminal paste, and the UTF-8 text the fields rely on. (On Windows the real
// dialog and message boxes are tested instead, in tests/windows/.)
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "front/command_line.h"
#include "front/conversion_dialog.h"
#include "front/convert_file.h"
#include "front/resources/texts.h"
#include "front/stand_in/stand_in_windows.h"
#include "front/terminal/cell_layout.h"
#include "front/terminal/dialog_keys.h"
#include "front/terminal/edit_field.h"
#include "front/terminal/paste_paths.h"
#include "front/terminal/utf8_text.h"
#include "tests/support/test_support.h"

namespace {

using namespace std::string_literals;
const std::string kHouse = std::string(VUV2EZ_TEST_DATA) + "/../../examples/house.mqo";

// house.mqo as the writer converts it.
std::string HouseQz(bool smooth) {
  Model model;
  EXPECT_EQ(LoadText(model, ReadFile(kHouse)), kLoadOk);
  const std::vector<uint8_t> bytes = QzBytes(model, smooth);
  return std::string(bytes.begin(), bytes.end());
}

// The message boxes as the events name them.
const std::string kDone = "box "s + kFinishedText, kReadFailed = "box "s + kReadFailedText;

std::string Times(const std::string& piece, int count) {
  std::string out;
  while (count-- > 0)
    out += piece;
  return out;
}

// Keys written one character each: ⇥ Tab, ⇤ Shift+Tab, ↵ Enter, ⎋ Escape, ← → ⇱ (Home) ⇲ (End),
// ⌫ Backspace, ⌦ Delete, ✕ the close box (Ctrl+Q), ↕ a new size; {...} is a paste of what is
// inside; any other character is typed.
std::deque<KeyEvent> ParseKeys(const std::string& text) {
  static const std::map<std::string, Key> named = {
      {"⇥", Key::kTab},   {"⇤", Key::kBackTab},   {"↵", Key::kEnter},  {"⎋", Key::kEscape},
      {"←", Key::kLeft},  {"→", Key::kRight},     {"⇱", Key::kHome},   {"⇲", Key::kEnd},
      {"✕", Key::kClose}, {"⌫", Key::kBackspace}, {"⌦", Key::kDelete}, {"↕", Key::kResize}};
  std::deque<KeyEvent> keys;
  for (size_t at = 0, length = 0; at < text.size(); at += length) {
    length = text[at] == '{' ? text.find('}', at) + 1 - at : DecodeUtf8(text, at).length;
    const std::string piece = text.substr(at, length);
    keys.push_back(piece[0] == '{'         ? KeyEvent{Key::kPaste, piece.substr(1, length - 2)}
                   : named.contains(piece) ? KeyEvent{named.at(piece), {}}
                                           : KeyEvent{Key::kText, piece});
  }
  return keys;
}

// The keys still to play, the dialog they go to and what happened, for the presenter's and the
// dialog procedure's plain functions.
struct Played {
  std::deque<KeyEvent> keys;
  HWND dialog = nullptr;
  std::vector<std::string> events;
} run;

// The events from `first` on, repeats counted: "source changed ×3".
std::string Events(size_t first) {
  std::string out;
  for (size_t i = first, n = 1; i < run.events.size(); i += n) {
    for (n = 1; i + n < run.events.size() && run.events[i + n] == run.events[i];)
      ++n;
    out += (i > first ? ", " : "") + run.events[i] + (n > 1 ? " ×" + std::to_string(n) : "");
  }
  return out;
}

std::string Name(int id) {
  const int ids[] = {
      IDOK, IDCANCEL, IDC_CONVERT, IDC_FLAT_NORMALS, IDC_SOURCE_PATH, IDC_DESTINATION_PATH};
  const char* names[] = {"OK", "Cancel", "convert", "flat", "source", "destination"};
  const auto at = std::find(ids, ids + 6, id) - ids;
  return at < 6 ? names[at] : std::to_string(id);
}

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const WPARAM notification = wParam >> 16;
  const char* what = notification == EN_CHANGE ? " changed" : notification ? " ?" : "";
  if (message == WM_INITDIALOG) run.events.push_back("init");
  if (message == WM_CLOSE) run.events.push_back("close");
  if (message == WM_COMMAND) run.events.push_back(Name(LOWORD(wParam)) + what);
  const INT_PTR result = ConversionDialogProc(dialog, message, wParam, lParam);
  // Once handled, a drop is to be finished.
  if (message == WM_DROPFILES)
    run.events.push_back(reinterpret_cast<HDROP>(wParam)->finished ? "drop" : "drop not finished");
  // 0 for every message: WM_INITDIALOG too, so that no control is given the focus first.
  if (result != 0) run.events.push_back("returned " + std::to_string(result));
  return result;
}

// The presenter: a message box takes keys until one closes it; the dialog takes the rest.
void ShowMessage(HWND owner, const char* text, const char* caption) {
  EXPECT_EQ(owner, run.dialog);
  EXPECT_STREQ(caption, kCaption);
  bool open = true;
  for (; open && !run.keys.empty(); run.keys.pop_front())
    open = !ClosesMessageBox(run.keys.front());
  run.events.push_back("box " + std::string(text) + (open ? " left open" : ""));
}

// An edit field as it is shown: the text in view, "|" where the caret is drawn.
std::string Shown(HWND edit) {
  std::string view(TextInView(edit, EditTextColumns(*edit->layout)));
  for (size_t at = 0; at <= view.size(); at += std::max<size_t>(DecodeUtf8(view, at).length, 1))
    if (TextCells(view.substr(0, at)) == CaretColumn(edit)) return view.insert(at, "|");
  return view + " (the caret off the text)";
}

struct Row {
  const char* name;
  std::string keys;
  std::string focus = "";        // the control with the focus afterwards
  std::string events = "";       // the dialog procedure's messages after WM_INITDIALOG; boxes
  std::string source = "|";      // the source field as shown
  std::string destination = "";  // the destination field's text
  std::string written = "";      // the files written beside house.mqo, with their normals
  bool ticked = false;           // the flat-normals box
} played;

INT_PTR PlayKeys(HWND dialog) {
  for (run.dialog = dialog; !dialog->ended && !run.keys.empty();) {
    const KeyEvent key = run.keys.front();
    run.keys.pop_front();  // before the key is handled: a message box takes the next one
    HandleDialogKey(dialog, key);
  }
  played.focus = dialog->focus != nullptr ? Name(dialog->focus->id) : "";
  played.source = Shown(GetDlgItem(dialog, IDC_SOURCE_PATH));
  played.destination = GetDlgItem(dialog, IDC_DESTINATION_PATH)->text;
  played.ticked = IsDlgButtonChecked(dialog, IDC_FLAT_NORMALS) == BST_CHECKED;
  return dialog->ended ? dialog->result : 99;
}

TEST(DialogKeys, EveryRow) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);  // widths as in the terminal
  const std::string smooth = HouseQz(true), flat = HouseQz(false);
  // A path of 72 cells for a field of 48 (the caret takes the last), its digits telling where it
  // is shown from; a text of wide characters that does not end evenly at the field's edge.
  const std::string digits = Times("0123456789", 6), path = "{/" + digits + "/モデル.mqo}";
  const std::string pathQz = "/" + digits + "/モデル.mqo.qz", wide = "{a" + Times("モ", 30) + "}";
  const std::string wideQz = "a" + Times("モ", 30) + ".qz", press = "⇤⇤↵";  // the button
  const Row rows[] = {
      {"Tab goes round in template order, Shift+Tab back", Times("⇥", 6) + "⇤⇤⇤", "convert"},
      {"the close box ends it with 0, no key read after", "⇥✕⇥", "source", "close, ended with 0"},
      {"Enter off the button is the dialog's OK, Escape its Cancel; typing does nothing on it",
       "↵⇥↵⎋⇤⇤⎋x⌫⌦←↕", "convert", "OK ×2, Cancel ×2"},
      {"Enter on the check box is OK; Space ticks it and clears it", "⇤↵  ", "flat", "OK, flat ×2"},
      {"a paste anywhere drops its first file, a blank one nothing; a drop converts nothing",
       "⇤{ \t\r\n}{'/b c.mqo' '/d.mqo'}", "flat", "drop", "|/b c.mqo", "/b c.mqo.qz"},
      {"typing inserts at the caret, a space too, control characters not", "⇥aé\t\x7f家 ", "source",
       "source changed ×4", "aé家 |"},
      {"Backspace and Delete take the character each side of the caret, none past the ends",
       "⇥abcd←←⌫⌦⇱⌫⇲⌦", "source", "source changed ×6", "ad|"},
      {"the caret moves by whole characters and stops at either end", "⇥モデル→⇱←→x⇲←⌫⇱⌦", "source",
       "source changed ×6", "|xル"},
      {"typing at the end of a long path scrolls on", path + "⇥xy", "source",
       "drop, source changed ×2", digits.substr(26) + "/モデル.mqoxy|", pathQz},
      {"Home shows a long path from its start", path + "⇥⇱", "source", "drop",
       "|/" + digits.substr(0, 47), pathQz},
      {"deleting until the rest fits brings the start back", path + "⇥" + Times("⌫", 30), "source",
       "drop, source changed ×30", "/" + digits.substr(0, 38) + "|", pathQz},
      {"a drop shows the new path from its start", path + "⇥" + path, "source", "drop ×2",
       "|/" + digits.substr(0, 47), pathQz},
      {"Tab into a field shows its end; a wide character is never cut there", wide + "⇥", "source",
       "drop", Times("モ", 23) + "|", wideQz},
      {"nor at the start", wide + "⇥⇱", "source", "drop", "|a" + Times("モ", 23), wideQz},
      {"the button with no source: the read failure, in a box that takes all other keys",
       press + "⇥x{/a.mqo}↕⌫←⇱⌦", "convert", "convert, " + kReadFailed + " left open"},
      {"Enter, Space, Escape and the close box each close a message box", press + "↵ ⎋ ✕⇥", "flat",
       "convert, " + kReadFailed + ", convert, " + kReadFailed + ", convert, " + kReadFailed},
      {"the button converts the fields as they stand, smooth while the box is clear",
       "{house.mqo}" + press + "↵", "convert", "drop, convert, " + kDone, "|house.mqo",
       "house.mqo.qz", "house.mqo.qz smooth"},
      {"a ticked box gives flat normals, to a destination typed by hand",
       "{house.mqo}⇥⇥⌫⌫flat⇥⇥ ⇤ ↵", "convert",
       "drop, destination changed ×6, flat, convert, " + kDone, "house.mqo|", "house.mqo.flat",
       "house.mqo.flat flat", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScratchFolder folder;
    WriteFile(folder / "house.mqo", ReadFile(kHouse));
    const std::filesystem::path back = std::filesystem::current_path();
    std::filesystem::current_path(folder.path);  // the rows' paths are relative
    run = {ParseKeys(row.keys), nullptr, {}};
    SetStandInPresenter({ShowMessage, PlayKeys});
    const INT_PTR result =
        DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_CONVERSION), nullptr, RecordingProc, 0);
    std::filesystem::current_path(back);
    if (result != 99) run.events.push_back("ended with " + std::to_string(result));
    ASSERT_EQ(run.events.front(), "init");
    for (const std::string& name : folder.Entries()) {
      const std::string bytes = ReadFile(folder / name);
      if (name != "house.mqo")
        played.written += name + (bytes == smooth ? " smooth" : bytes == flat ? " flat" : " ?");
    }
    played.events = Events(1);
    EXPECT_EQ(
        std::tie(played.focus, played.events, played.source, played.destination, played.written,
                 played.ticked),
        std::tie(row.focus, row.events, row.source, row.destination, row.written, row.ticked));
    played = {};
  }
  SetStandInPresenter({});  // no presenter that runs a dialog: none is shown
  EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_CONVERSION), nullptr, RecordingProc, 0),
            -1);
  std::setlocale(LC_CTYPE, "C");
}

// Rows: the command line's words, its exit status, and the message boxes of the conversion
// driver: one for each file, closed with Enter.
TEST(ConvertFile, OneMessageBoxPerOutcome) {
  ScratchFolder folder;
  const std::string house = folder / "house.mqo", empty = folder / "empty.mqo";
  WriteFile(house, ReadFile(kHouse));
  WriteFile(empty, "");
  const std::tuple<std::string, std::string, ConversionOutcome, std::string> cases[] = {
      {house, house + ".qz", kConverted, kDone},
      {folder / "missing.mqo", folder / "m.qz", kSourceUnreadable, kReadFailed},
      {empty, folder / "e.qz", kSourceNotMqo, "box "s + kNotMqoText},
      {house, folder / "no/such/folder/h.qz", kDestinationUnwritable, "box "s + kWriteFailedText},
  };
  SetStandInPresenter({ShowMessage, nullptr});
  for (const auto& [source, destination, outcome, box] : cases) {
    run = {ParseKeys("↵"), nullptr, {}};
    EXPECT_EQ(ConvertFile(nullptr, source.c_str(), destination.c_str()), outcome) << source;
    EXPECT_EQ(Events(0), box) << source;
  }
  // The command line reports in lines of its own (the command-line test reads them), no box.
  run = {{}, nullptr, {}};
  EXPECT_EQ(ConvertArguments(ParseArguments({empty, house})), 1);
  EXPECT_EQ(ConvertArguments(ParseArguments({house})), 0);
  EXPECT_EQ(Events(0), "");
  SetStandInPresenter({});
  // Smooth normals, and nothing left by the failures.
  EXPECT_EQ(ReadFile(house + ".qz"), HouseQz(true));
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"empty.mqo", "house.mqo", "house.mqo.qz"}));
}

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

// Rows: a text; its first character and that character's length; the cells of the whole text;
// where its last character starts. Bytes that make no character are one each: a byte that leads
// nothing, a sequence cut short, an overlong form, a surrogate. A control is drawn as a
// replacement in one cell; a combining accent takes none.
TEST(Utf8Text, CharactersAndCells) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  const std::tuple<std::string, char32_t, size_t, int, size_t> cases[] = {
      {"a", U'a', 1, 1, 0},          {"é", U'é', 2, 1, 0},
      {"変換", U'変', 3, 4, 3},      {"🙂", U'🙂', 4, 2, 0},
      {"\xff", 0xFFFD, 1, 1, 0},     {"\xe5\x8f", 0xFFFD, 1, 2, 1},
      {"\xc0\xaf", 0xFFFD, 1, 2, 1}, {"\xed\xa0\x80", 0xFFFD, 1, 3, 2},
      {"\t", U'\t', 1, 1, 0},        {"e\xcc\x81", U'e', 1, 1, 1}};
  for (const auto& [text, first, length, cells, lastStart] : cases) {
    const Utf8Char got = DecodeUtf8(text, 0);
    EXPECT_EQ(
        std::tuple(got.code, got.length, TextCells(text), PreviousCharStart(text, text.size())),
        std::tuple(first, length, cells, lastStart))
        << text;
    EXPECT_EQ(EncodeUtf8(first), first == 0xFFFD ? "\uFFFD" : text.substr(0, length)) << text;
    EXPECT_EQ(ShownChar(first), first == U'\t' ? 0xFFFD : first) << text;
  }
  EXPECT_EQ(DecodeUtf8("a", 1).length, 0u);
  std::setlocale(LC_CTYPE, "C");
}

}  // namespace
