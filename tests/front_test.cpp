// The front end through the stand-in window services: the conversion driver's messages and
// owners, and the dialog procedure driven by the messages the platform would send. (On Windows
// the real dialog and message boxes are tested instead, in tests/windows/.)
#include <gtest/gtest.h>

#include "front/command_line.h"
#include "front/conversion_dialog.h"
#include "front/convert_file.h"
#include "front/resources/conversion_dialog.h"
#include "front/resources/texts.h"
#include "front/stand_in/stand_in_windows.h"
#include "tests/shown_messages.h"
#include "tests/test_support.h"

namespace {

class Front : public testing::Test {
 protected:
  void SetUp() override {
    ShownMessages().clear();
    previous_ = SetStandInPresenter({RecordMessage, nullptr});
    WriteFile(folder_ / "house.mqo",
              ReadFile(std::string(VUV2EZ_TEST_DATA) + "/../../examples/house.mqo"));
    WriteFile(folder_ / "empty.mqo", "");
  }
  void TearDown() override { SetStandInPresenter(previous_); }

  ScratchFolder folder_;
  StandInPresenter previous_;
};

TEST_F(Front, ConvertFileShowsOneMessagePerOutcome) {
  const std::string house = folder_ / "house.mqo";
  const struct {
    std::string source;
    std::string destination;
    ConversionOutcome outcome;
    const char* text;
  } cases[] = {
      {house, folder_ / "house.qz", kConverted, kFinishedText},
      {folder_ / "missing.mqo", folder_ / "m.qz", kSourceUnreadable, kReadFailedText},
      {"", ".qz", kSourceUnreadable, kReadFailedText},
      {folder_ / "empty.mqo", folder_ / "e.qz", kSourceNotMqo, kNotMqoText},
      {house, folder_ / "no/such/folder/h.qz", kDestinationUnwritable, kWriteFailedText},
  };
  for (const auto& c : cases) {
    ShownMessages().clear();
    EXPECT_EQ(ConvertFile(nullptr, c.source.c_str(), c.destination.c_str()), c.outcome) << c.source;
    ASSERT_EQ(ShownMessages().size(), 1u) << c.source;
    EXPECT_EQ(ShownMessages()[0].owner, nullptr);
    EXPECT_EQ(ShownMessages()[0].text, c.text);
    EXPECT_EQ(ShownMessages()[0].caption, "VUV2EZ");
  }
  EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"empty.mqo", "house.mqo", "house.qz"}));
  EXPECT_EQ(std::string(kNotMqoText), "MQO フォーマットではありません。");
}

TEST_F(Front, CommandLineWayConvertsSmoothAndReportsFailureByStatus) {
  Arguments arguments = ParseArguments({folder_ / "house.mqo"});
  EXPECT_EQ(ConvertArguments(arguments), 0);
  EXPECT_TRUE(FileExists(folder_ / "house.mqo.qz"));
  arguments = ParseArguments({folder_ / "house.mqo", folder_ / "empty.mqo"});
  EXPECT_EQ(ConvertArguments(arguments), 1);
  EXPECT_TRUE(ShownMessages().empty());  // the command line reports in lines, not boxes
}

class Dialog : public Front {
 protected:
  void SetUp() override {
    Front::SetUp();
    dialog_ = CreateStandInDialog(kConversionDialogLayout, ConversionDialogProc);
    Send(WM_INITDIALOG, 0, 0);
  }
  INT_PTR Send(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendStandInMessage(dialog_.get(), message, wParam, lParam);
  }
  std::string Text(int id) { return GetDlgItem(dialog_.get(), id)->text; }
  void Drop(std::vector<std::string> paths) {
    StandInDrop drop{std::move(paths), false};
    EXPECT_EQ(Send(WM_DROPFILES, reinterpret_cast<WPARAM>(&drop), 0), 0);
    EXPECT_TRUE(drop.finished);
  }
  void Press(int id) { Send(WM_COMMAND, static_cast<WPARAM>(id), 0); }

  std::unique_ptr<StandInWindow> dialog_;
};

TEST_F(Dialog, HasTheControlsInTabOrder) {
  std::vector<int> ids;
  for (const auto& control : dialog_->controls)
    ids.push_back(control->id);
  EXPECT_EQ(ids, (std::vector<int>{1001, 1006, 1008, -1, -1, 1011}));
  EXPECT_EQ(Text(IDC_CONVERT), "変換");
  EXPECT_EQ(Text(IDC_FLAT_NORMALS), "法線をフラットシェーディング用にする");
  EXPECT_EQ(dialog_->text, "VUV2EZ");
  EXPECT_EQ(Text(IDC_SOURCE_PATH), "");
  EXPECT_EQ(IsDlgButtonChecked(dialog_.get(), IDC_FLAT_NORMALS), BST_UNCHECKED);
}

TEST_F(Dialog, DropFillsBothFieldsAndConvertsNothing) {
  Drop({"D:\\work\\robot.mqo"});
  EXPECT_EQ(Text(IDC_SOURCE_PATH), "D:\\work\\robot.mqo");
  EXPECT_EQ(Text(IDC_DESTINATION_PATH), "D:\\work\\robot.mqo.qz");
  Drop({"/first.mqo", "/second.mqo", "/third.mqo"});
  EXPECT_EQ(Text(IDC_SOURCE_PATH), "/first.mqo");
  EXPECT_EQ(Text(IDC_DESTINATION_PATH), "/first.mqo.qz");
  const std::string longPath = "/" + std::string(3000, 'p') + ".mqo";
  Drop({longPath});
  EXPECT_EQ(Text(IDC_SOURCE_PATH), longPath);
  EXPECT_EQ(Text(IDC_DESTINATION_PATH), longPath + ".qz");
  Drop({});
  EXPECT_EQ(Text(IDC_SOURCE_PATH), longPath);
  EXPECT_TRUE(ShownMessages().empty());
}

TEST_F(Dialog, EnterEscapeAndOtherCommandsDoNothing) {
  Drop({folder_ / "house.mqo"});
  for (int command : {IDOK, IDCANCEL, IDC_SOURCE_PATH, IDC_FLAT_NORMALS})
    Press(command);
  Send(0x0100 /* a key message */, 13, 0);
  EXPECT_FALSE(dialog_->ended);
  EXPECT_TRUE(ShownMessages().empty());
  EXPECT_FALSE(FileExists(folder_ / "house.mqo.qz"));
}

TEST_F(Dialog, CloseEndsTheDialogWithZero) {
  for (UINT message : {WM_CLOSE, WM_DESTROY}) {
    dialog_->ended = false;
    dialog_->result = 7;
    Send(message, 0, 0);
    EXPECT_TRUE(dialog_->ended);
    EXPECT_EQ(dialog_->result, 0);
  }
}

TEST(DialogBox, CannotBeCreatedWithoutAPresenter) {
  EXPECT_EQ(
      DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_CONVERSION), nullptr, ConversionDialogProc, 0),
      -1);
}

}  // namespace
