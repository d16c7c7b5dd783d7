// Decoding pasted text into paths: lines, then words with the shell's quoting, then file URIs.
#include "front/terminal/paste_paths.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsLineBreak(char c) {
  return c == '\n' || c == '\r';
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "file:///p", "file://host/p" and "file:/p" name the local path "/p", percent escapes decoded;
// any other word is a path as it stands.
std::string PathOfWord(std::string_view word) {
  if (!StartsWithNoCase(word, "file:")) return std::string(word);
  std::string_view rest = word.substr(5);
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  }
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 &&
        HexValue(rest[i + 2]) >= 0) {
      path += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
      i += 2;
    } else {
      path += rest[i];
    }
  }
  return path;
}

// Words as a shell splits them: blanks separate words outside quotes, single quotes keep
// everything, double quotes let a backslash escape only \ " $ and `, and a backslash outside
// quotes keeps the character after it. An unterminated quote runs to the end of the line.
std::vector<std::string> ShellWords(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (IsBlank(c)) {
      if (inWord && !word.empty()) words.push_back(word);
      word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '\'') {
      const size_t close = line.find('\'', i + 1);
      const size_t end = close == std::string_view::npos ? line.size() : close;
      word.append(line.substr(i + 1, end - i - 1));
      i = end;
    } else if (c == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        const bool escape = line[i] == '\\' && i + 1 < line.size() &&
                            std::string_view("\\\"$`").find(line[i + 1]) != std::string_view::npos;
        if (escape) ++i;
        word += line[i];
      }
    } else if (c == '\\' && i + 1 < line.size()) {
      word += line[++i];
    } else {
      word += c;
    }
  }
  if (inWord && !word.empty()) words.push_back(word);
  return words;
}

bool LooksLikeAPath(std::string_view word) {
  return word.starts_with('/') || word.starts_with('~') || StartsWithNoCase(word, "file:");
}

// One line's words. A line with no quoting at all whose later words do not start like paths is
// one path with blanks in it, as some terminals paste a single file.
std::vector<std::string> LineWords(std::string_view line) {
  std::vector<std::string> words = ShellWords(line);
  if (line.find_first_of("'\"\\") != std::string_view::npos || words.size() < 2) return words;
  for (size_t i = 1; i < words.size(); ++i) {
    if (!LooksLikeAPath(words[i])) return {std::string(Trimmed(line))};
  }
  return words;
}

}  // namespace

std::vector<std::string> PastedPaths(std::string_view pasted) {
  std::vector<std::string> paths;
  while (!pasted.empty()) {
    size_t end = 0;
    while (end < pasted.size() && !IsLineBreak(pasted[end]))
      ++end;
    for (const std::string& word : LineWords(pasted.substr(0, end))) {
      std::string path = PathOfWord(word);
      if (!path.empty()) paths.push_back(std::move(path));
    }
    pasted.remove_prefix(end < pasted.size() ? end + 1 : end);
  }
  return paths;
}
