// The conversion dialog's model, which both views (the Windows controls, the terminal's form)
// drive: each row plays events on a fresh model in a folder holding cube.mqo and an empty.mqo,
// and says what is left: the fields, the box, the message of each conversion, and the files the
// conversions wrote, byte for byte the golden conversions of cube.mqo.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "front/dialog_model.h"
#include "front/resources/texts.h"
#include "tests/support/golden_hex.h"
#include "tests/support/test_support.h"

namespace {

// Each '$' of `text` replaced by `folder`.
std::string InFolder(std::string text, const std::string& folder) {
  for (size_t at = text.find('$'); at != std::string::npos; at = text.find('$', at))
    text.replace(at, 1, folder);
  return text;
}

// A row's events: "drop A|B" drops files A and B ("drop" alone, none); "source TEXT" and
// "destination TEXT" are what the user leaves in a field; "tick" turns the box over; "convert"
// is the button. What is left: "source | destination | the box | each conversion's message |
// each file written, with its normals".
struct Row {
  const char* name;
  std::vector<std::string> events;
  std::string left;
};

const std::string kDone = kFinishedText, kReadFailed = kReadFailedText;

const Row kRows[] = {
    {"opens empty and clear", {}, " |  | clear |  | "},
    {"a drop fills both fields, a later one replaces them; it converts nothing",
     {"drop $/robot.mqo", "drop $/cube.mqo"},
     "$/cube.mqo | $/cube.mqo.qz | clear |  | "},
    {"of several files dropped the first is taken",
     {"drop $/b c.mqo|$/d.mqo|$/e.mqo"},
     "$/b c.mqo | $/b c.mqo.qz | clear |  | "},
    {"a drop of no file changes nothing", {"source typed", "drop"}, "typed |  | clear |  | "},
    {"a name is taken as it stands, its last blank too",
     {"drop $/cube.mqo "},
     "$/cube.mqo  | $/cube.mqo .qz | clear |  | "},
    {"the button with empty fields cannot read",
     {"convert"},
     " |  | clear | " + kReadFailed + " | "},
    {"the button converts the fields as they stand, smooth while the box is clear",
     {"drop $/cube.mqo", "convert"},
     "$/cube.mqo | $/cube.mqo.qz | clear | " + kDone + " | cube.mqo.qz smooth"},
    {"a ticked box gives flat normals, to a destination typed by hand",
     {"drop $/cube.mqo", "tick", "destination $/typed by hand.qz", "convert"},
     "$/cube.mqo | $/typed by hand.qz | ticked | " + kDone + " | typed by hand.qz flat"},
    {"ticked twice is clear again; the fields stay for the next conversion",
     {"source $/cube.mqo", "destination $/c.qz", "tick", "convert", "tick", "destination $/d.qz",
      "convert"},
     "$/cube.mqo | $/d.qz | clear | " + kDone + kDone + " | c.qz flat d.qz smooth"},
    {"a source that is not MQO",
     {"drop $/empty.mqo", "convert"},
     "$/empty.mqo | $/empty.mqo.qz | clear | " + std::string(kNotMqoText) + " | "},
    {"a destination that cannot be written",
     {"drop $/cube.mqo", "destination $/no such folder/cube.qz", "convert"},
     "$/cube.mqo | $/no such folder/cube.qz | clear | " + std::string(kWriteFailedText) + " | "},
};

TEST(DialogModel, EveryRow) {
  const std::vector<uint8_t> smooth = GoldenBytes("cube", true), flat = GoldenBytes("cube", false);
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    ScratchFolder folder;
    WriteFile(folder / "cube.mqo", ReadFile(GoldenPath("cube.mqo")));
    WriteFile(folder / "empty.mqo", "");
    DialogModel model;
    std::string messages;
    for (const std::string& event : row.events) {
      const size_t blank = std::min(event.find(' '), event.size());
      const std::string kind = event.substr(0, blank);
      const std::string text =
          InFolder(event.substr(std::min(blank + 1, event.size())), folder.path);
      if (kind == "drop") {
        std::vector<std::string> paths;
        for (size_t at = 0; at < text.size();) {
          const size_t bar = std::min(text.find('|', at), text.size());
          paths.push_back(text.substr(at, bar - at));
          at = bar + 1;
        }
        EXPECT_EQ(OnDropped(model, paths), !paths.empty());
      } else if (kind == "source" || kind == "destination") {
        (kind == "source" ? model.source : model.destination) = text;
      } else if (kind == "tick") {
        model.flat = !model.flat;
      } else {
        ASSERT_EQ(kind, "convert");
        messages += OutcomeText(OnConvert(model).outcome);
      }
    }
    std::string written;
    for (const std::string& name : folder.Entries()) {
      const std::string bytes = ReadFile(folder / name);
      const bool isSmooth = bytes == std::string(smooth.begin(), smooth.end());
      const bool isFlat = bytes == std::string(flat.begin(), flat.end());
      if (name == "cube.mqo" || name == "empty.mqo") continue;
      written += (written.empty() ? "" : " ") + name +
                 (isSmooth ? " smooth"
                  : isFlat ? " flat"
                           : " ?");
    }
    EXPECT_EQ(model.source + " | " + model.destination + " | " + (model.flat ? "ticked" : "clear") +
                  " | " + messages + " | " + written,
              InFolder(row.left, folder.path));
  }
}

}  // namespace
