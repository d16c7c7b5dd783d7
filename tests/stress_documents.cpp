// Builders of the stress documents, one function per kind.
#include "tests/stress_documents.h"

#include <cstdio>

namespace {

const std::string kHead = "Metasequoia Document\nFormat Text Ver 1.0\n\n";

std::string Quoted(size_t size) {
  std::string text = kHead + "\"";
  if (text.size() < size) text.append(size - text.size(), 'q');
  return text;
}

std::string Delimiters(size_t size) {
  std::string text = kHead;
  static const char kCycle[] = ";,\n()";
  for (size_t i = 0; text.size() < size; ++i)
    text.push_back(kCycle[i % 5]);
  return text;
}

// A fixed-width real in [0, 1) with 15 decimals, from a counter.
void AppendReal(std::string& text, size_t seed) {
  char number[32];
  std::snprintf(number, sizeof number, "0.%015zu", (seed * 7919u) % 1000000000000000u);
  text += number;
}

std::string Corners(size_t size) {
  const size_t corners = size > 4096 ? size / 100 : 3;
  std::string text = kHead + "Object \"face\" {\n vertex " + std::to_string(corners) + " {\n";
  text.reserve(size + 64);
  for (size_t i = 0; i < corners; ++i) {
    text += "  ";
    AppendReal(text, 3 * i);
    text += ' ';
    AppendReal(text, 3 * i + 1);
    text += ' ';
    AppendReal(text, 3 * i + 2);
    text += '\n';
  }
  text += " }\n face 1 {\n  " + std::to_string(corners) + " V(";
  for (size_t i = 0; i < corners; ++i) {
    if (i) text += ' ';
    text += std::to_string(i);
  }
  text += ") UV(";
  for (size_t i = 0; i < 2 * corners; ++i) {
    if (i) text += ' ';
    AppendReal(text, i);
  }
  text += ")\n }\n}\nEof\n";
  if (text.size() > size) text.resize(size);
  return text;
}

std::string Objects(size_t size) {
  std::string text = kHead;
  text.reserve(size);
  char object[128];
  for (size_t i = 0; text.size() + 100 <= size; ++i) {
    const int length =
        std::snprintf(object, sizeof object,
                      "Object \"obj%07zu\" {\n\tdepth 0\n\tfolding 0\n\tscale 1 1 1\n"
                      "\tcolor 0.898 0.498 0.698\n",
                      i % 10000000);
    text.append(object, static_cast<size_t>(length));
    text.append(100 - 2 - static_cast<size_t>(length), ' ');
    text += "}\n";
  }
  return text;
}

std::string CountQuoted(size_t size) {
  std::string text = kHead + "Object \"o\" {\n vertex " + std::to_string(size / 8) + " {\n\"";
  if (text.size() < size) text.append(size - text.size(), '7');
  return text;
}

std::string TinyFaces(size_t size) {
  std::string text = kHead + "Object \"o\" {\n face " + std::to_string(size / 2) + " {\n";
  while (text.size() + 2 <= size)
    text += "1\n";
  return text;
}

// A declared count as large as the budget allows, then blank lines up to `size`.
std::string DeclaredCount(const std::string& chunk, const std::string& close, size_t size) {
  const size_t fixed = kHead.size() + chunk.size() + 3 + close.size();
  const size_t count = size > fixed + 20 ? size - fixed - 20 : 1;
  std::string text = kHead + chunk + std::to_string(count) + " {\n";
  if (text.size() + close.size() < size) text.append(size - text.size() - close.size(), '\n');
  return text + close;
}

}  // namespace

const std::vector<std::string_view>& StressKinds() {
  static const std::vector<std::string_view> kinds = {"quoted",    "delimiters",   "corners",
                                                      "objects",   "count-quoted", "tiny-faces",
                                                      "materials", "vertices"};
  return kinds;
}

std::string StressDocument(std::string_view kind, size_t size) {
  if (kind == "quoted") return Quoted(size);
  if (kind == "delimiters") return Delimiters(size);
  if (kind == "corners") return Corners(size);
  if (kind == "objects") return Objects(size);
  if (kind == "count-quoted") return CountQuoted(size);
  if (kind == "tiny-faces") return TinyFaces(size);
  if (kind == "materials") return DeclaredCount("Material ", "}\nEof\n", size);
  if (kind == "vertices") return DeclaredCount("Object \"o\" {\n vertex ", " }\n}\nEof\n", size);
  return {};
}
