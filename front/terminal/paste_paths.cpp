// Decoding pasted text into paths: lines, then words with the shell's quoting, then file URIs.
#include "front/terminal/paste_paths.h"

#include <strings.h>  // strncasecmp, from POSIX

#include <algorithm>
#include <charconv>

namespace {

bool IsFileUri(std::string_view word) {
  return word.size() >= 5 && strncasecmp(word.data(), "file:", 5) == 0;
}

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// "file:///p", "file://host/p" and "file:/p" name the local path "/p", percent escapes decoded;
// any other word is a path as it stands.
std::string PathOfWord(std::string_view word) {
  if (!IsFileUri(word)) return std::string(word);
  std::string_view rest = word.substr(5);
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  }
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    unsigned char byte = 0;  // of a percent escape: two hexadecimal digits
    const char* digits = rest.data() + i + 1;
    const bool escaped = rest[i] == '%' && i + 2 < rest.size() &&
                         std::from_chars(digits, digits + 2, byte, 16).ptr == digits + 2;
    path += escaped ? static_cast<char>(byte) : rest[i];
    if (escaped) i += 2;
  }
  return path;
}

// Words as a shell splits them: blanks separate words outside quotes, single quotes keep
// everything, double quotes let a backslash escape only \ " $ and `, and a backslash outside
// quotes keeps the character after it. An unterminated quote runs to the end of the line.
std::vector<std::string> ShellWords(std::string_view line) {
  std::vector<std::string> words;
  std::string word;  // quotes make no word of their own: '' is none
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else if (c == '\'') {
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
  if (!word.empty()) words.push_back(word);
  return words;
}

bool LooksLikeAPath(std::string_view word) {
  return word.starts_with('/') || word.starts_with('~') || IsFileUri(word);
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
    const size_t end = std::min(pasted.find_first_of("\r\n"), pasted.size());
    for (const std::string& word : LineWords(pasted.substr(0, end))) {
      std::string path = PathOfWord(word);
      if (!path.empty()) paths.push_back(std::move(path));
    }
    pasted.remove_prefix(end < pasted.size() ? end + 1 : end);
  }
  return paths;
}
