// The document, material and object readers: the documents of data/reader_cases.txt and the
// models they must give, and face lines as the modeller writes them against the same lines read
// token by token.
#include <gtest/gtest.h>

#include <random>
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

// Face lines as the modeller writes them are recognised by their bytes; written with a blank
// before each "(" (which reads as the same tokens) they take the token-by-token reading. Random
// chunks of usual and unusual lines, cut at random places, must give the same model both ways.
TEST(ObjectReader, UsualFaceLinesReadAsTokenByToken) {
  std::mt19937 random(6);
  auto pick = [&](std::initializer_list<const char*> choices) {
    return *(choices.begin() + random() % choices.size());
  };
  size_t faces = 0;
  for (int round = 0; round < 1500; ++round) {
    std::vector<std::string> pieces;  // each piece holds "(" where a property opens
    const int lines = 1 + static_cast<int>(random() % 12);
    for (int line = 0; line < lines; ++line) {
      const int corners = static_cast<int>(random() % 6);
      std::string text = pick({"\t\t", "  ", "", "\t"});
      text += random() % 12 == 0 ? pick({"-2", "04", "1234567890", "x", "4V"})
                                 : std::to_string(corners);
      text += pick({" ", " ", " ", "\t", "  "});
      text += pick({"V(", "V(", "V(", "v(", "V (", "UV("});
      const int indices = corners + static_cast<int>(random() % 3) - 1;
      for (int k = 0; k < indices; ++k) {
        if (k > 0) text += random() % 20 != 0 ? " " : pick({"  ", "\t", " \r"});
        text += random() % 20 != 0 ? std::to_string(random() % 9)
                                   : pick({"-1", "2.5", "123456789012", "+3", "07"});
      }
      text += ")";
      pieces.push_back(text);
      if (random() % 6 != 0)
        pieces.push_back(pick(
            {" M(1)", " M(2)", " m(0)", " M()", " M(1.5)", " COL(1 1 1 1)", " M( 3)", " M(4 )"}));
      if (random() % 6 != 0) {
        std::string uv = pick({" UV(", " UV(", " uv(", " UV (", " UID(3) UV("});
        const int reals = 2 * corners + static_cast<int>(random() % 3) - 1;
        for (int k = 0; k < reals; ++k) {
          if (k > 0) uv += random() % 20 != 0 ? " " : pick({"  ", "\t"});
          uv += pick({"0.00000", "0.12500", "1", "-0.5", "1e2", "0.1234567890"});
        }
        pieces.push_back(uv + ")");
      }
      pieces.push_back(pick({"\r\n", "\r\n", "\n", " ", ";\n"}));
    }
    const size_t kept = random() % 4 == 0 ? random() % pieces.size() : pieces.size();
    std::string usual, spaced;
    for (size_t i = 0; i < kept; ++i) {
      usual += pieces[i];
      for (const char c : pieces[i])
        spaced += c == '(' ? std::string(" (") : std::string(1, c);
    }
    const std::string head = " vertex 4 {\n 0 0 0\n 1 0 0\n 1 1 0\n 0 1 0\n }\n face " +
                             std::to_string(random() % 14) + " {\n";
    const std::string tail = kept == pieces.size() ? " }\n}\nEof\n" : "";
    Model a, b;
    const LoadResult ra = LoadText(a, kHead + "Object \"o\" {\n" + head + usual + tail);
    const LoadResult rb = LoadText(b, kHead + "Object \"o\" {\n" + head + spaced + tail);
    ASSERT_EQ(ra, rb) << usual;
    ASSERT_EQ(Describe(a), Describe(b)) << usual;
    ASSERT_EQ(QzBytes(a, true), QzBytes(b, true)) << usual;
    if (!a.objects.empty()) faces += a.objects[0].faces.size();
  }
  EXPECT_GT(faces, 5000u);
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
