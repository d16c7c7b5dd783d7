// A 64-bit FNV-1a digest of bytes: files written on one build are named by it in the tests'
// data (tests/data/as_shown_digests.txt) and checked on another.
#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline uint64_t ByteDigest(std::string_view bytes) {
  uint64_t digest = 0xcbf29ce484222325u;
  for (const char c : bytes)
    digest = (digest ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  return digest;
}

// The lines "<document> <16 hex digits>" of `path`, after its '#' comments.
inline std::vector<std::pair<std::string, uint64_t>> ReadDigests(const std::string& path) {
  std::vector<std::pair<std::string, uint64_t>> digests;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string name, hex;
    if (words >> name >> hex) digests.emplace_back(name, std::stoull(hex, nullptr, 16));
  }
  return digests;
}
