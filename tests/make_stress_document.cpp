// Writes one hostile document of the given size to a file: make_stress_document NAME BYTES FILE.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tests/hostile_documents.h"

int main(int argc, char** argv) {
  for (const HostileDocument& document : kHostileDocuments) {
    if (argc != 4 || std::string_view(argv[1]) != document.name) continue;
    const std::string text = document.text(std::strtoull(argv[2], nullptr, 10));
    std::FILE* out = std::fopen(argv[3], "wb");
    const bool written =
        out != nullptr && std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return out != nullptr && std::fclose(out) == 0 && written ? 0 : 1;
  }
  std::fputs("usage: make_stress_document NAME BYTES FILE (a name of tests/hostile_documents.h)\n",
             stderr);
  return 2;
}
