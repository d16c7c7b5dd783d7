// The output file appears whole or not at all: real folders, real failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/test_support.h"
#include "writer/output_file.h"
#include "writer/qz_writer.h"

namespace {

Model SmallModel() {
  Model model;
  EXPECT_EQ(LoadText(model,
                     "Metasequoia\nObject \"o\" {\n vertex 3 {\n 0 0 0\n 1 0 0\n 0 1 0\n }\n"
                     " face 1 {\n 3 V(0 1 2)\n }\n}\n"),
            kLoadOk);
  return model;
}

TEST(OutputFile, WritesAndReplacesLeavingNoTemporaryFile) {
  ScratchFolder folder;
  const Model model = SmallModel();
  const std::string target = folder / "out.qz";
  WriteFile(target, "old contents");
  ASSERT_EQ(WriteModel(model, target.c_str(), true), 0);
  const std::vector<uint8_t> expected = QzBytes(model, true);
  EXPECT_EQ(ReadFile(target), std::string(expected.begin(), expected.end()));
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out.qz"});
}

TEST(OutputFile, FailuresKeepTheDestinationAndLeaveNothingBehind) {
  ScratchFolder folder;
  const Model model = SmallModel();
  std::filesystem::create_directory(folder / "a directory");
  struct Case {
    const char* name;
    std::string destination;
  };
  std::vector<Case> cases = {
      {"folder does not exist", folder / "missing/out.qz"},
      {"destination is a directory", folder / "a directory"},
      {"empty path", ""},
  };
#ifndef _WIN32  // symbolic links are a POSIX matter here
  std::filesystem::create_symlink(folder / "nowhere/x.qz", folder / "dangling.qz");
  cases.push_back({"destination is a dangling link", folder / "dangling.qz"});
#endif
  for (const auto& c : cases) {
    const auto before = folder.Entries();
    EXPECT_EQ(WriteModel(model, c.destination.c_str(), true), 1) << c.name;
    EXPECT_EQ(folder.Entries(), before) << c.name;
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder / "a directory"));
  EXPECT_TRUE(std::filesystem::is_empty(folder / "a directory"));
}

#ifndef _WIN32
// A rename would put a regular file in place of a FIFO or a device (/dev/null as root).
TEST(OutputFile, SpecialFilesAreNeverReplaced) {
  ScratchFolder folder;
  const Model model = SmallModel();
  ASSERT_EQ(mkfifo((folder / "fifo.qz").c_str(), 0644), 0);
  std::filesystem::create_symlink("fifo.qz", folder / "link.qz");
  for (const char* name : {"fifo.qz", "link.qz"}) {
    EXPECT_EQ(WriteModel(model, (folder / name).c_str(), true), 1) << name;
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "fifo.qz")) << name;
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"fifo.qz", "link.qz"})) << name;
  }
}
#endif

TEST(OutputFile, LinkedDestinationIsWrittenThrough) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links are a POSIX matter here";
#endif
  ScratchFolder folder;
  const Model model = SmallModel();
  WriteFile(folder / "real.qz", "old");
  std::filesystem::create_symlink("real.qz", folder / "link.qz");
  ASSERT_EQ(WriteModel(model, (folder / "link.qz").c_str(), true), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.qz"));
  EXPECT_EQ(ReadFile(folder / "real.qz").size(), 48u + 60 + 168);
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"link.qz", "real.qz"}));
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
