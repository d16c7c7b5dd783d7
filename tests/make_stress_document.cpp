// Writes one stress document to a file: make_stress_document KIND BYTES FILE.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/stress_documents.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: make_stress_document KIND BYTES FILE\nkinds:", stderr);
    for (std::string_view kind : StressKinds())
      std::fprintf(stderr, " %.*s", static_cast<int>(kind.size()), kind.data());
    std::fputc('\n', stderr);
    return 2;
  }
  const std::string text = StressDocument(argv[1], std::strtoull(argv[2], nullptr, 10));
  if (text.empty()) {
    std::fprintf(stderr, "make_stress_document: unknown kind %s\n", argv[1]);
    return 2;
  }
  std::FILE* out = std::fopen(argv[3], "wb");
  if (out == nullptr) return 1;
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  return std::fclose(out) == 0 && written ? 0 : 1;
}
