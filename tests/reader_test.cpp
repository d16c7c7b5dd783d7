// The document, material and object readers: the documents of data/reader_cases.txt and the
// models they must give; and the mirror objects of data/mirror_cases.txt once baked.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/support/test_support.h"
#include "writer/mirror.h"

namespace {

const std::string kHead = "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\n";

// The cases of one file: "## NAME", the document's lines, "-> RESULT" (ok, unreadable or not
// MQO; ", no final line feed" when the text ends without one; ", mirrors baked" to bake the
// model first) and the model's description. Each is read with LF and with CRLF line ends.
int CheckCases(const std::string& file) {
  std::istringstream in(ReadFile(std::string(VUV2EZ_TEST_DATA) + "/" + file));
  std::string line, name, text, expected;
  int cases = 0;
  bool inDocument = false, baked = false;
  LoadResult result = kLoadOk;
  auto check = [&] {
    Model model;  // read into twice: a load starts afresh
    for (const char* eol : {"\n", "\r\n"}) {
      std::string document;
      for (const char c : text)
        document += c == '\n' ? std::string(eol) : std::string(1, c);
      EXPECT_EQ(LoadText(model, document), result) << name;
      EXPECT_EQ(ValidateModel(model), kModelSound) << name;
      if (baked) BakeMirrors(model);
      EXPECT_EQ(ValidateModel(model), kModelSound) << name << ", baked";
      EXPECT_EQ(Describe(model), result == kLoadOk ? expected : "textures 0\n") << name;
    }
    ++cases;
  };
  while (std::getline(in, line)) {
    if (line.starts_with("## ")) {
      if (!name.empty()) check();
      name = line.substr(3), text.clear(), expected.clear(), inDocument = true;
    } else if (inDocument && line.starts_with("-> ")) {
      result = line.starts_with("-> ok")        ? kLoadOk
               : line.starts_with("-> not MQO") ? kLoadNotMqo
                                                : kLoadUnreadable;
      if (line.ends_with(", no final line feed") && !text.empty()) text.pop_back();
      baked = line.ends_with(", mirrors baked");
      inDocument = false;
    } else if (!name.empty()) {
      (inDocument ? text : expected) += line + "\n";
    }
  }
  check();
  return cases;
}

TEST(Reader, CasesGiveTheirModels) {
  EXPECT_GT(CheckCases("reader_cases.txt"), 50);
  EXPECT_EQ(CheckCases("mirror_cases.txt"), 14);
}

TEST(Reader, NothingIsRefunded) {
  // Repeated chunks are charged each time: one of these tables alone fits the text's size.
  const std::string text = kHead + std::string(200, ' ') + "Material 150 {\n}\n";
  Model model;
  EXPECT_EQ(LoadText(model, text), kLoadOk);
  EXPECT_EQ(LoadText(model, text + "Material 150 {\n}\n"), kLoadUnreadable);
  EXPECT_TRUE(model.materials.empty());
}

}  // namespace
