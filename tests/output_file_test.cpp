// The output file appears whole or not at all, on every platform: a replaced destination holds
// the new bytes, a failure leaves the folder exactly as it was, no temporary file stays behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/test_support.h"
#include "writer/output_file.h"
#include "writer/qz_writer.h"

namespace {

TEST(OutputFile, ReplacesWholeOrLeavesTheFolderAsItWas) {
  ScratchFolder folder;
  Model model;
  ASSERT_EQ(LoadText(model, "Metasequoia\nObject \"o\" {\n vertex 1 {\n 0 0 0\n }\n}\n"), kLoadOk);
  const std::vector<uint8_t> bytes = QzBytes(model, true);
  WriteFile(folder / "old.qz", "old contents");
  std::filesystem::create_directory(folder / "a directory");
  const struct {
    std::string destination;
    int result;
  } cases[] = {
      {folder / "new.qz", 0},
      {folder / "old.qz", 0},
      {folder / "missing/x.qz", 1},
      {folder / "a directory", 1},
      {"", 1},
  };
  for (const auto& c : cases) {
    const auto before = folder.Entries();
    EXPECT_EQ(WriteModel(model, c.destination.c_str(), true), c.result) << c.destination;
    if (c.result == 0) {
      EXPECT_EQ(ReadFile(c.destination), std::string(bytes.begin(), bytes.end()));
    } else {
      EXPECT_EQ(folder.Entries(), before) << c.destination;
    }
  }
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"a directory", "new.qz", "old.qz"}));
  EXPECT_TRUE(std::filesystem::is_empty(folder / "a directory"));
}

TEST(OutputFile, AbandonedOutputRemovesItsTemporaryFile) {
  ScratchFolder folder;
  WriteFile(folder / "keep.qz", "keep");
  OutputFile file;
  ASSERT_TRUE(OpenOutput((folder / "keep.qz").c_str(), file));
  ASSERT_TRUE(WriteOutput(file, "partial", 7));
  EXPECT_EQ(folder.Entries().size(), 2u);  // the temporary file sits beside the destination
  AbandonOutput(file);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"keep.qz"});
  EXPECT_EQ(ReadFile(folder / "keep.qz"), "keep");
}

}  // namespace
