// The fast scanner reads every document exactly as the general reading does. Random documents
// (number runs of every shape, usual and unusual face lines, cut anywhere) and real ones, each
// also with bytes inserted, removed and replaced (zero bytes among them), must load to the same
// result, model and QZ bytes whether the fast scanner classifies bytes with vector compares or
// through the character table, or the tokenizer reads every token the general way.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "reader/mqo_reader.h"
#include "tests/support/test_support.h"

namespace {

using Random = std::mt19937;

// One of `choices`, which are separated by '|'.
std::string Pick(Random& random, std::string_view choices) {
  std::vector<std::string_view> all;
  for (size_t bar; (bar = choices.find('|')) != std::string_view::npos;) {
    all.push_back(choices.substr(0, bar));
    choices.remove_prefix(bar + 1);
  }
  all.push_back(choices);
  return std::string(all[random() % all.size()]);
}

// Numbers as modellers write them, and the shapes around the fast scanner's limits: 8 digits,
// the 16-byte window, signs and points alone, words that begin like numbers.
std::string Number(Random& random) {
  if (random() % 4 != 0) {
    return Pick(random, "||-") + std::to_string(random() % 1000) + "." +
           std::to_string(10000 + random() % 90000);
  }
  return Pick(random,
              "0|12|-3|+4.5|0.00001|123456789012345678901|1e5|9.99d1|-|.|7.|x1|1x|''|\"q 1\"|"
              "99999999|999999999|-0.0|4294967297|12345678.87654321|-1234.5678|1.2.3|+.5|1-2|"
              "12345678|-12345678|1234567.8|0.12345678");
}

std::string Gap(Random& random) {
  return random() % 10 != 0 ? " "
                            : Pick(random, "  |\t|\r\n\t\t|\n| )|,|;|(|" + std::string(20, ' '));
}

std::string FaceLine(Random& random) {
  const int corners = static_cast<int>(random() % 6);
  std::string line = Pick(random, "\t\t|  ||\t");
  line += random() % 12 == 0 ? Pick(random, "-2|04|1234567890|x|4V") : std::to_string(corners);
  line += Pick(random, " | | |\t|  ");
  line += Pick(random, "V(|V(|V(|v(|V (|UV(");
  const int indices = corners + static_cast<int>(random() % 3) - 1;
  for (int k = 0; k < indices; ++k)
    line += (k > 0 ? Gap(random) : "") +
            (random() % 20 != 0 ? std::to_string(random() % 9) : Number(random));
  line += ")";
  if (random() % 6 != 0) {
    line += Pick(random, " M(1)| M(2)| m(0)| M()| M(1.5)| COL(1 1 1 1)| M( 3)");
  }
  if (random() % 6 != 0) {
    line += Pick(random, " UV(| UV(| uv(| UV (| UID(3) UV(");
    const int reals = 2 * corners + static_cast<int>(random() % 3) - 1;
    for (int k = 0; k < reals; ++k)
      line += (k > 0 ? Gap(random) : "") + Number(random);
    line += ")";
  }
  return line + Pick(random, "\r\n|\r\n|\n| |;\n");
}

std::string RandomDocument(Random& random) {
  std::string text = "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\nMaterial 2 {\r\n";
  text += "\t\"a\" col(" + Number(random) + " " + Number(random) + " 1 1) dif(" + Number(random) +
          ")\r\n}\r\nObject \"o\" {\r\n\tvertex " + std::to_string(random() % 40) + " {\r\n";
  for (int i = static_cast<int>(random() % 40); i > 0; --i)
    text += "\t\t" + Number(random) + Gap(random) + Number(random) + Gap(random) + Number(random) +
            "\r\n";
  text += "\t}\r\n\tface " + std::to_string(random() % 14) + " {\r\n";
  for (int i = static_cast<int>(random() % 12); i > 0; --i)
    text += FaceLine(random);
  text += "\t}\r\n}\r\nEof\r\n";
  return random() % 4 == 0 ? text.substr(0, random() % text.size()) : text;
}

// Bytes inserted, removed and replaced at random places, with what matters to the scanners.
std::string Damaged(Random& random, std::string text, int edits) {
  static const std::string kBytes = std::string("\0 \t\r\n()V.M-+9U0'\"{}x", 21);
  for (int i = 0; i < edits && !text.empty(); ++i) {
    const size_t at = random() % text.size();
    const char byte = kBytes[random() % kBytes.size()];
    switch (random() % 3) {
      case 0:
        text.insert(at, 1, byte);
        break;
      case 1:
        text.erase(at, 1);
        break;
      default:
        text[at] = byte;
    }
  }
  return text;
}

// Loads the text the three ways and compares them; false (with a report) when they differ.
bool ReadsAlike(const std::string& text, const std::string& what) {
  Model models[3];
  LoadResult results[3];
  for (int way = 0; way < 3; ++way) {
    Tokenizer settings;
    settings.vectorMasks = way == 0;
    settings.generalOnly = way == 2;
    results[way] = LoadModelFromText(models[way], ExactCopy(text).get(), text.size(), settings);
    EXPECT_EQ(ValidateModel(models[way]), kModelSound) << what;
  }
  for (int way = 0; way < 2; ++way) {
    const char* how = way == 0 ? " (vector compares)" : " (character table)";
    EXPECT_EQ(results[way], results[2]) << what << how;
    EXPECT_TRUE(Describe(models[way]) == Describe(models[2])) << what << how;
    EXPECT_TRUE(QzBytes(models[way], true) == QzBytes(models[2], true)) << what << how;
  }
  return !testing::Test::HasFailure();
}

TEST(FastScan, ReadsEveryDocumentAsTheGeneralReadingDoes) {
  Random random(13);
  for (int round = 0; round < 2000; ++round) {
    const std::string text = RandomDocument(random);
    ASSERT_TRUE(ReadsAlike(text, testing::PrintToString(text)));
    const std::string damaged = Damaged(random, text, 1 + static_cast<int>(random() % 8));
    ASSERT_TRUE(ReadsAlike(damaged, testing::PrintToString(damaged)));
  }
  std::vector<std::filesystem::path> documents = {std::string(VUV2EZ_TEST_DATA) +
                                                  "/../../examples/house.mqo"};
  for (const char* folder : {VUV2EZ_CORPUS_DIR, VUV2EZ_TEST_DATA "/golden"}) {
    if (!std::filesystem::is_directory(folder)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.path().extension() == ".mqo") documents.push_back(entry.path());
  }
  for (const auto& path : documents) {
    const std::string text = ReadFile(path.string());
    ASSERT_TRUE(ReadsAlike(text, path.string()));
    for (int round = 0; round < 2; ++round)
      ASSERT_TRUE(ReadsAlike(Damaged(random, text, 1 + static_cast<int>(random() % 40)),
                             path.string() + " damaged, round " + std::to_string(round)));
  }
}

}  // namespace
