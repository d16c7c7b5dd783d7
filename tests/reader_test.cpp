// The document, material and object readers: the documents of data/reader_cases.txt and the
// models they must give.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/test_support.h"

namespace {

const std::string kHead = "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\n";

TEST(Reader, CasesGiveTheirModels) {
  std::istringstream in(ReadFile(std::string(VUV2EZ_TEST_DATA) + "/reader_cases.txt"));
  std::string line, name, text, expected;
  int cases = 0;
  bool inDocument = false;
  LoadResult result = kLoadOk;
  auto check = [&] {
    for (const char* eol : {"\n", "\r\n"}) {
      std::string document;
      for (const char c : text)
        document += c == '\n' ? std::string(eol) : std::string(1, c);
      Model model;
      EXPECT_EQ(LoadText(model, document), result) << name;
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
      inDocument = false;
    } else if (!name.empty()) {
      (inDocument ? text : expected) += line + "\n";
    }
  }
  check();
  EXPECT_GT(cases, 50);
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
