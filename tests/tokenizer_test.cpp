// Tokenizer: listed cases, and a comparison with a character-by-character state machine over
// random texts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reader/tokenizer.h"
#include "tests/support/test_support.h"

namespace {

struct Seen {
  std::string text;
  int quoted;
  int breakChar;
  bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
  return out << "{\"" << s.text << "\" q" << s.quoted << " b" << s.breakChar << "}";
}

std::vector<Seen> TokensOf(const std::string& text) {
  Tokenizer tokenizer;
  Token token;
  const auto copy = ExactCopy(text);
  AimTokenizer(tokenizer, copy.get(), text.size());
  std::vector<Seen> out;
  while (NextToken(token, tokenizer)) {
    out.push_back({std::string(token.view), tokenizer.quoted, tokenizer.breakChar});
  }
  return out;
}

// The tokenizer as a state machine, one character at a time: the behaviour the fast scanner must
// reproduce exactly.
std::vector<Seen> ReferenceTokens(const std::string& input) {
  const std::string text = input.substr(0, input.find('\0'));
  const std::string blanks = " \r\t", delimiters = ";,\n()", quotes = "'\"";
  auto in = [](const std::string& set, char c) { return set.find(c) != std::string::npos; };
  std::vector<Seen> out;
  size_t pos = 0;
  while (pos < text.size()) {
    enum { kStart, kInWord, kAfterWord, kInQuote } state = kStart;
    Seen t{"", 0, 0};
    char closing = 0;
    for (;;) {
      const char c = text[pos];
      if (state == kInQuote) {
        if (c == closing) {
          t.breakChar = static_cast<unsigned char>(c);
          ++pos;
          break;
        }
        t.text += c;
      } else if (in(delimiters, c)) {
        t.breakChar = static_cast<unsigned char>(c);
        ++pos;
        break;
      } else if (in(quotes, c)) {
        if (state != kStart) break;  // the quote opens the next token
        closing = c;
        t.quoted = 1;
        state = kInQuote;
      } else if (in(blanks, c)) {
        if (state == kInWord) {
          t.breakChar = static_cast<unsigned char>(c);
          state = kAfterWord;
        }
      } else {
        if (state == kAfterWord) break;  // the next word begins
        t.text += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        state = kInWord;
      }
      ++pos;
      if (state != kInQuote && t.text.size() == 63) break;  // quoted tokens are never cut
      if (pos >= text.size()) break;
    }
    out.push_back(t);
  }
  return out;
}

struct Case {
  const char* name;
  std::string text;
  std::vector<Seen> tokens;
};

const int kQ = '"';

TEST(Tokenizer, ListedCases) {
  const std::string long70(70, 'a');
  const std::string longPath =
      "C:\\Users\\someone\\Documents\\textures\\" + std::string(90, 'x') + ".png";
  const Case cases[] = {
      {"quoted name keeps case and blanks", "\"My Object\" {", {{"My Object", 1, kQ}, {"{", 0, 0}}},
      {"70 letters cut at 63", long70, {{std::string(63, 'a'), 0, 0}, {std::string(7, 'a'), 0, 0}}},
      {"a quote after a word opens a token", "abc'De f'", {{"abc", 0, 0}, {"De f", 1, '\''}}},
      {"unclosed quote runs to the end", "\"abc def", {{"abc def", 1, 0}}},
      {"leading blanks skipped", "  \t word", {{"word", 0, 0}}},
      {"leading line feed gives an empty token", "\nword", {{"", 0, '\n'}, {"word", 0, 0}}},
      {"two quotes give an empty quoted token", "\"\" x", {{"", 1, kQ}, {"x", 0, 0}}},
      {"blanks after a final delimiter give one empty token", "a;  ", {{"a", 0, ';'}, {"", 0, 0}}},
      {"blanks after a final word are absorbed", "a   ", {{"a", 0, ' '}}},
      {"blank then delimiter: the delimiter breaks", "a  ,b", {{"a", 0, ','}, {"b", 0, 0}}},
      {"blank then quote: the blank breaks", "a \"b\"", {{"a", 0, ' '}, {"b", 1, kQ}}},
      {"CRLF line ends", "1.0 2.0\r\n3\r\n", {{"1.0", 0, ' '}, {"2.0", 0, '\n'}, {"3", 0, '\n'}}},
      {"CRLF after a delimiter", ")\r\n", {{"", 0, ')'}, {"", 0, '\n'}}},
      {"the text ends at a zero byte", std::string("ab\0cd", 5), {{"ab", 0, 0}}},
      {"a long quoted path stays whole",
       "tex(\"" + longPath + "\")",
       {{"tex", 0, '('}, {longPath, 1, kQ}, {"", 0, ')'}}},
      {"quotes hold delimiters, line feeds", "'a;b\n(c)' d", {{"a;b\n(c)", 1, '\''}, {"d", 0, 0}}},
      {"folding touches only ASCII capitals", "\x83\x41Z\xE4", {{"\x83\x61z\xE4", 0, 0}}},
      {"empty text gives no token", "", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TokensOf(c.text), c.tokens) << c.name;
    EXPECT_EQ(ReferenceTokens(c.text), c.tokens) << "reference: " << c.name;
  }
}

TEST(Tokenizer, MatchesStateMachineOnRandomTexts) {
  std::mt19937 random(20261206);
  const std::string alphabet = "aZ9. \t\r\n;,()'\"{}-x";
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) {
      // Mostly from the alphabet; sometimes long words to reach the cut, sometimes a zero byte.
      const unsigned pick = random() % 100;
      if (pick < 3) {
        text += std::string(60 + random() % 10, 'w');
      } else if (pick < 4) {
        text += '\0';
      } else {
        text += alphabet[random() % alphabet.size()];
      }
    }
    ASSERT_EQ(TokensOf(text), ReferenceTokens(text)) << "text: " << testing::PrintToString(text);
  }
}

TEST(Tokenizer, NeverReadsPastTheGivenLengthAndKeepsTheLastToken) {
  // The bytes after `length` are not part of the text even without a zero byte.
  const char text[] = {'a', 'b', ' ', 'c', 'X', 'Y'};
  Tokenizer tokenizer;
  Token token;
  AimTokenizer(tokenizer, text, 4);
  ASSERT_TRUE(NextToken(token, tokenizer));
  EXPECT_EQ(token.view, "ab");
  ASSERT_TRUE(NextToken(token, tokenizer));
  EXPECT_FALSE(NextToken(token, tokenizer));
  EXPECT_EQ(token.view, "c");
  EXPECT_EQ(tokenizer.quoted, 0);
  EXPECT_EQ(tokenizer.breakChar, 0);
}

}  // namespace
