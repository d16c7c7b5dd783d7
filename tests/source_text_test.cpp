// A source file that another program changes while it is read: shortened (the mapping's missing
// pages read as zeros), grown or rewritten in place (found by asking for the file's size and time
// again once the load has read it), on the mapped path and on the path that reads into a buffer
// (the only one of the Windows build). The change is made between ReadTextFile and
// LoadModelFromSource, the window in which the reader takes the bytes of a mapped file; the
// report then says why the read failed.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "front/conversion_report.h"
#include "front/resources/texts.h"
#include "reader/mqo_reader.h"
#include "tests/support/test_support.h"
#include "tests/zip_writer.h"

namespace {

const std::string kDocument =
    "Metasequoia\nObject \"o\" {\n vertex 1 {\n 0 0 0\n }\n}\n" + std::string(4 * 4096, 'x');

// The file's modification time set to a whole second a year ago, plus `seconds` and
// `nanoseconds`: a rewrite made within the file system's clock step then still changes it.
void SetTime(const std::string& path, int seconds = 0, int nanoseconds = 0) {
  using std::filesystem::file_time_type;
  static const auto yearAgo =
      std::chrono::time_point_cast<std::chrono::seconds>(file_time_type::clock::now()) -
      std::chrono::hours(24 * 365);
  const auto time = yearAgo + std::chrono::seconds(seconds) + std::chrono::nanoseconds(nanoseconds);
  std::filesystem::last_write_time(path,
                                   std::chrono::time_point_cast<file_time_type::duration>(time));
}

// Bytes added at the end, the time put back as it was: only the size tells.
void Grow(const std::string& path) {
  std::ofstream(path, std::ios::binary | std::ios::app) << "Object \"p\" {\n}\n";
  SetTime(path);
}

// The same number of bytes written over the start of the file: only the time tells.
void RewriteInPlace(const std::string& path) {
  std::fstream(path, std::ios::binary | std::ios::in | std::ios::out) << "metasequoia";
}

#ifndef _WIN32
// A mapped source that another program shortens while it is read: the bytes past its new end
// read as zeros instead of raising a bus error, and the load reports a read failure.
TEST(SourceText, AFileShortenedWhileReadReadsAsZerosAndFailsToLoad) {
  ScratchFolder folder;
  const std::string path = folder / "model.mqo";
  WriteFile(path, kDocument);
  for (const bool shortened : {false, true}) {
    SourceText text;
    LoadFailure failure;
    ASSERT_TRUE(ReadTextFile(path.c_str(), text, failure));
    if (shortened) {
      ASSERT_EQ(truncate(path.c_str(), 4096), 0);
    }
    EXPECT_EQ(static_cast<const volatile char*>(text.data)[3 * 4096], shortened ? 0 : 'x');
    EXPECT_EQ(Truncated(text), shortened);
    Model model;
    EXPECT_EQ(LoadModelFromSource(model, text, &failure), shortened ? kLoadUnreadable : kLoadOk);
    EXPECT_EQ(failure.cause, shortened ? kCauseShortened : kCauseNone);
    EXPECT_EQ(model.objects.size(), shortened ? 0u : 1u);
  }
}

#endif

struct ChangeCase {
  const char* name;
  bool zipped;
  void (*change)(const std::string& path);  // nullptr: the file is left alone
};

TEST(SourceText, AFileThatGrowsOrIsRewrittenWhileReadFailsToLoad) {
  const ChangeCase cases[] = {
      {"unchanged", false, nullptr},
      {"grown", false, Grow},
      {"rewritten in place", false, RewriteInPlace},
#ifndef _WIN32  // MinGW's last_write_time sets whole seconds
      {"touched 500 ns later", false, [](const std::string& path) { SetTime(path, 0, 500); }},
#endif
      {"touched 1 s later", false, [](const std::string& path) { SetTime(path, 1); }},
      {"zipped, unchanged", true, nullptr},
      {"zipped, grown", true, Grow},
  };
  ScratchFolder folder;
  const std::string path = folder / "model.mqo", other = folder / "other.mqo";
  WriteFile(other, kDocument);
#ifdef _WIN32
  const bool ways[] = {false};  // files are read into a buffer
#else
  const bool ways[] = {true, false};
#endif
  for (const ChangeCase& row : cases) {
    for (const bool mapped : ways) {
      SCOPED_TRACE(std::string(row.name) + (mapped ? ", mapped" : ", read into a buffer"));
      WriteFile(path, row.zipped ? MakeZip({{"model.mqo", kDocument, 0}}) : kDocument);
      SetTime(path);
      // While one text holds the mapping, any other file is read into a buffer.
      std::optional<SourceText> holder;
      LoadFailure failure;
      if (!mapped) {
        ASSERT_TRUE(ReadTextFile(other.c_str(), holder.emplace(), failure));
      }
      SourceText text;
      ASSERT_TRUE(ReadTextFile(path.c_str(), text, failure));
      EXPECT_EQ(text.mapping != nullptr, mapped);
      if (row.change != nullptr) row.change(path);
      Model model;
      const bool changed = row.change != nullptr;
      EXPECT_EQ(LoadModelFromSource(model, text, &failure), changed ? kLoadUnreadable : kLoadOk);
      EXPECT_EQ(failure.cause, changed ? kCauseChanged : kCauseNone);
      EXPECT_EQ(model.objects.size(), changed ? 0u : 1u);
    }
  }
}

#ifndef _WIN32
// The bus error handler is ours only while a text holds the mapping: the action installed before
// is back once the texts are gone, whatever their number and order.
TEST(SourceText, TheBusErrorActionBeforeIsBackOnceTheTextsAreGone) {
  ScratchFolder folder;
  const std::string path = folder / "model.mqo";
  WriteFile(path, kDocument);
  struct sigaction mine {
  }, before{}, now{};
  mine.sa_handler = [](int) {};
  sigemptyset(&mine.sa_mask);
  ASSERT_EQ(sigaction(SIGBUS, &mine, &before), 0);
  for (const int count : {1, 2, 3}) {
    {
      std::optional<SourceText> texts[3];
      LoadFailure failure;
      for (int i = 0; i < count; ++i) {
        ASSERT_TRUE(ReadTextFile(path.c_str(), texts[i].emplace(), failure));
      }
      ASSERT_EQ(sigaction(SIGBUS, nullptr, &now), 0);
      EXPECT_NE(now.sa_handler, mine.sa_handler) << count;  // the mapping's handler
      texts[0].reset();  // the first text, which holds the mapping, goes first
    }
    ASSERT_EQ(sigaction(SIGBUS, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, mine.sa_handler) << count;
    // With the text gone, the next one maps again.
    SourceText text;
    LoadFailure failure;
    ASSERT_TRUE(ReadTextFile(path.c_str(), text, failure));
    EXPECT_NE(text.mapping, nullptr) << count;
  }
  sigaction(SIGBUS, &before, nullptr);
}

#endif

TEST(SourceText, TheReportSaysTheFileChangedWhileRead) {
  Conversion conversion;
  conversion.outcome = kSourceUnreadable;
  conversion.loadFailure = LoadFailure{kCauseChanged};
  EXPECT_EQ(ReportLines("a.mqo", "a.mqo.qz", conversion, false),
            std::vector<std::string>{
                "VUV2EZ: a.mqo: "
                "ファイルの読み込みに失敗しました。読み込み中にファイルが変更されました。"});
  EXPECT_STREQ(kChangedText, "読み込み中にファイルが変更されました。");
}

}  // namespace
