// An output abandoned half-written leaves no temporary file and the destination as it was, on
// every platform (the command-line and the Windows program's tests check whole conversions).
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/test_support.h"
#include "writer/output_file.h"
#include "writer/qz_writer.h"

namespace {

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

TEST(OutputFile, WriteModelSaysZeroOrOne) {
  ScratchFolder folder;
  const Model model;
  EXPECT_EQ(WriteModel(model, (folder / "x.qz").c_str(), WriteOptions{}), 0);
  EXPECT_EQ(WriteModel(model, (folder / "none/x.qz").c_str(), WriteOptions{}), 1);
  EXPECT_EQ(WriteModel(model, folder.path.c_str(), WriteOptions{}),
            1);  // a folder: the rename fails
}

}  // namespace
